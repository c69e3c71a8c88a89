#include "modem/reference_store.h"

#include "platform/ini_file.h"

namespace modem {

std::uint8_t LoadReference(const std::filesystem::path& folder, std::string_view instanceName,
                           std::uint8_t current) {
  const platform::IniFile file(folder / kReferenceFileName);
  if (!file.Existed()) return current;
  const long long stored = file.ReadInteger(kReferenceSection, instanceName, 0);
  return static_cast<std::uint8_t>(static_cast<unsigned long long>(stored) & 0xFF);
}

bool StoreReference(const std::filesystem::path& folder, std::string_view instanceName, std::uint8_t reference,
                    std::string* error) {
  platform::IniFile file(folder / kReferenceFileName);
  file.WriteInteger(kReferenceSection, instanceName, reference);
  return file.Save(error);
}

}  // namespace modem
