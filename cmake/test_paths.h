#pragma once
// Where tests and benchmarks find the project's files, its programs and the
// Python that runs the independent checks. The values live in one small file
// generated in the build folder (test_paths.cpp), not in every test's compile
// line, so test sources compile to the same objects in every clone and build
// folder and the compiler cache can serve them.

namespace talvane_test_paths {
const char* SourceDir();
const char* BinaryDir();
const char* Python();
}  // namespace talvane_test_paths
