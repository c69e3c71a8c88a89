#pragma once
// Result codes of the compound file container. As everywhere in the
// spreadsheet code, 1 means success and failures are other values: the three
// small ones are those the workbook operations report for the same cause,
// the rest belong to the container alone.

namespace xls::cfb {

inline constexpr int kOk = 1;

// A storage copy (TXLSFileStorage, TXLSFileStream) could not be read from a
// file or written into one.
inline constexpr int kCopyFailed = -1;

// The file cannot be created, written or put in place at the target path: a
// missing or read-only folder, a read-only file, a file another program holds
// locked, a path that names a folder, a full disk. SaveAs reports the same.
inline constexpr int kCannotCreate = -2;

// The storage holds no element of that name (or none of the kind asked for).
inline constexpr int kNotFound = -3;

// The bytes are not a compound file: shorter than a header, a wrong
// signature, byte order mark, version or sector size.
inline constexpr int kNotCompoundFile = -2001;

// The header is sound but the structure behind it is not: an allocation
// chain that loops or leaves the file, a size larger than its chain, a
// directory entry reached twice (cycles, entries pointing at themselves), an
// entry of an impossible type, storages nested deeper than kMaxStorageDepth.
inline constexpr int kCorrupt = -2002;

// The file cannot be opened or read: missing, not permitted, a folder, an
// I/O error.
inline constexpr int kCannotRead = -2003;

// An element name that is empty, longer than 31 UTF-16 units, or holds one of
// the characters / \ : ! (or a NUL), which the format forbids.
inline constexpr int kInvalidName = -2004;

// The id handed in does not name a storage (or, for reading, a stream) of
// this file, or the reader holds no open file.
inline constexpr int kInvalidHandle = -2005;

// The file would pass the limits of the format: a stream of 4 GiB or more,
// or more sectors than a version 3 file can address.
inline constexpr int kTooLarge = -2006;

// A writer's Commit without a Create, or a second Commit.
inline constexpr int kWrongState = -2007;

}  // namespace xls::cfb
