#pragma once
// The reference of the next concatenated message, kept across program runs
// in "ReferenceNumbers.ini" in the program's folder: section "RefNum", one key
// per component instance (its InstanceName), the decimal reference as value.
//
// Threads: main thread (the component loads and stores the reference).

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace modem {

inline constexpr std::string_view kReferenceFileName = "ReferenceNumbers.ini";
inline constexpr std::string_view kReferenceSection = "RefNum";

// The stored reference of `instanceName` (0 when the key is missing), reduced
// to its low 8 bits; `current` when the file does not exist.
std::uint8_t LoadReference(const std::filesystem::path& folder, std::string_view instanceName,
                           std::uint8_t current);

// Writes the reference under the instance's key, creating the file when it is
// missing and keeping every other section and key. False, with `error`
// filled, when the file cannot be written.
bool StoreReference(const std::filesystem::path& folder, std::string_view instanceName, std::uint8_t reference,
                    std::string* error = nullptr);

}  // namespace modem
