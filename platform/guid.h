#pragma once
// Threads: safe from any thread.

#include <string>

namespace platform {

// A new random (version 4) GUID in the braced upper-case text form,
// e.g. "{3F2504E0-4F89-41D3-9A0C-0305E82C3301}".
std::string NewGuidString();

}  // namespace platform
