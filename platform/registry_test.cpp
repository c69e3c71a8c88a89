#include "platform/registry.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/file_faults.h"
#include "platform/read_file.h"
#include "platform/test_folder.h"

namespace platform {
namespace {

std::string FileText(const std::filesystem::path& path) { return ReadWholeFile(path).value_or("<missing>"); }

TEST(Registry, ValuesRoundTripThroughTheRegFile) {
  TestFolder folder;
  Registry registry(folder / "sub" / "registry.reg");  // the folder is created on the first write
  EXPECT_FALSE(registry.KeyExists("software\\Talvane\\GSM"));

  EXPECT_EQ(registry.WriteString("software\\Talvane\\GSM", "PortCOM", "/dev/ttyUSB0"), RegistryStatus::Ok);
  EXPECT_EQ(registry.WriteDword("software\\Talvane\\GSM", "CheckSignal", 1), RegistryStatus::Ok);
  EXPECT_EQ(registry.WriteString("\\Software\\Talvane\\frmMain", "Width", "900"), RegistryStatus::Ok);
  EXPECT_EQ(registry.WriteString("software\\Talvane\\GSM", "Path", "C:\\x \"y\""), RegistryStatus::Ok);

  EXPECT_EQ(FileText(registry.File()),
            "Windows Registry Editor Version 5.00\n"
            "\n[HKEY_CURRENT_USER]\n"
            "\n[HKEY_CURRENT_USER\\software]\n"
            "\n[HKEY_CURRENT_USER\\software\\Talvane]\n"
            "\n[HKEY_CURRENT_USER\\software\\Talvane\\GSM]\n"
            "\"PortCOM\"=\"/dev/ttyUSB0\"\n"
            "\"CheckSignal\"=dword:00000001\n"
            "\"Path\"=\"C:\\\\x \\\"y\\\"\"\n"
            "\n[HKEY_CURRENT_USER\\Software\\Talvane\\frmMain]\n"
            "\"Width\"=\"900\"\n");

  std::string text;
  std::uint32_t number = 0;
  EXPECT_EQ(registry.ReadString("SOFTWARE\\talvane\\gsm", "portcom", text), RegistryStatus::Ok);
  EXPECT_EQ(text, "/dev/ttyUSB0");
  EXPECT_EQ(registry.ReadString("software\\Talvane\\GSM", "Path", text), RegistryStatus::Ok);
  EXPECT_EQ(text, "C:\\x \"y\"");
  EXPECT_EQ(registry.ReadDword("software\\Talvane\\GSM", "CHECKSIGNAL", number), RegistryStatus::Ok);
  EXPECT_EQ(number, 1u);

  // Overwriting keeps the value's place and changes its type.
  EXPECT_EQ(registry.WriteDword("software\\Talvane\\GSM", "PortCOM", 0xFFFFFFFF), RegistryStatus::Ok);
  EXPECT_EQ(registry.ReadDword("software\\Talvane\\GSM", "PortCOM", number), RegistryStatus::Ok);
  EXPECT_EQ(number, 0xFFFFFFFFu);
  EXPECT_NE(FileText(registry.File()).find("GSM]\n\"PortCOM\"=dword:ffffffff\n"), std::string::npos);

  // No temporary files are left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "sub"), {}), 1);
}

TEST(Registry, AWriteWhoseRenameFailsLeavesTheOldFile) {
  TestFolder folder;
  Registry registry(folder / "registry.reg");
  ASSERT_EQ(registry.WriteString("software\\Talvane\\GSM", "PortCOM", "/dev/ttyUSB0"), RegistryStatus::Ok);
  const std::string before = FileText(registry.File());
  {
    const ScopedFileSystem failingRename(testing::FailingRename(EIO));
    EXPECT_EQ(registry.WriteString("software\\Talvane\\GSM", "PortCOM", "/dev/ttyS0"), RegistryStatus::IoError);
  }
  EXPECT_EQ(FileText(registry.File()), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);  // no temporary file
  std::string port;
  EXPECT_EQ(registry.ReadString("software\\Talvane\\GSM", "PortCOM", port), RegistryStatus::Ok);
  EXPECT_EQ(port, "/dev/ttyUSB0");
}

TEST(Registry, MissingAndMistypedValuesAreTold) {
  TestFolder folder;
  Registry registry(folder / "registry.reg");
  std::string text = "unchanged";
  std::uint32_t number = 7;
  EXPECT_EQ(registry.ReadString("software\\Talvane\\GSM", "PortCOM", text), RegistryStatus::KeyNotFound);
  ASSERT_EQ(registry.WriteDword("software\\Talvane\\GSM", "CheckPower", 0), RegistryStatus::Ok);
  EXPECT_EQ(registry.ReadString("software\\Talvane\\GSM", "PortCOM", text), RegistryStatus::ValueNotFound);
  EXPECT_EQ(registry.ReadString("software\\Talvane\\GSM", "CheckPower", text), RegistryStatus::WrongType);
  ASSERT_EQ(registry.WriteString("software\\Talvane\\GSM", "PortCOM", "COM3"), RegistryStatus::Ok);
  EXPECT_EQ(registry.ReadDword("software\\Talvane\\GSM", "PortCOM", number), RegistryStatus::WrongType);
  EXPECT_EQ(text, "unchanged");
  EXPECT_EQ(number, 7u);

  EXPECT_TRUE(registry.KeyExists("software\\Talvane"));  // a parent of a key exists too
  EXPECT_EQ(registry.ReadString("software\\Talvane", "PortCOM", text), RegistryStatus::ValueNotFound);
  EXPECT_EQ(registry.DeleteValue("software\\Talvane\\GSM", "portcom"), RegistryStatus::Ok);
  EXPECT_EQ(registry.DeleteValue("software\\Talvane\\GSM", "PortCOM"), RegistryStatus::ValueNotFound);
  EXPECT_EQ(registry.DeleteValue("software\\Other", "PortCOM"), RegistryStatus::KeyNotFound);
  EXPECT_EQ(registry.CreateKey("software\\Talvane\\Empty"), RegistryStatus::Ok);
  EXPECT_TRUE(registry.KeyExists("SOFTWARE\\TALVANE\\EMPTY"));
}

TEST(Registry, ProgramTextIsStoredAsUtf8) {
  TestFolder folder;
  Registry registry(folder / "registry.reg");
  const std::string ansi = "Zapisz \xB3\xB9" "cze";  // "łą" in Windows-1250
  ASSERT_EQ(registry.WriteString("software\\Talvane", "Note", ansi), RegistryStatus::Ok);
  EXPECT_NE(FileText(registry.File()).find("\"Note\"=\"Zapisz łącze\""), std::string::npos);
  std::string text;
  EXPECT_EQ(registry.ReadString("software\\Talvane", "Note", text), RegistryStatus::Ok);
  EXPECT_EQ(text, ansi);
}

TEST(Registry, AFileWrittenByHandIsReadAndItsOtherValuesKept) {
  TestFolder folder;
  const auto path = folder / "registry.reg";
  std::ofstream(path) << "Windows Registry Editor Version 5.00\r\n\r\n"
                         "; settings\r\n"
                         "[HKEY_CURRENT_USER\\Software\\Talvane\\GSM]\r\n"
                         "@=\"default\"\r\n"
                         "\"Blob\"=hex:01,02,\\\r\n  03,04\r\n"
                         "\"CheckPower\"=dword:0000002A\r\n";
  Registry registry(path);
  std::uint32_t number = 0;
  std::string text;
  EXPECT_EQ(registry.ReadDword("software\\talvane\\gsm", "CheckPower", number), RegistryStatus::Ok);
  EXPECT_EQ(number, 42u);
  EXPECT_EQ(registry.ReadString("software\\talvane\\gsm", "", text), RegistryStatus::Ok);
  EXPECT_EQ(text, "default");
  EXPECT_EQ(registry.ReadString("software\\talvane\\gsm", "Blob", text), RegistryStatus::WrongType);
  ASSERT_EQ(registry.WriteDword("software\\talvane\\gsm", "CheckSignal", 0), RegistryStatus::Ok);
  const std::string rewritten = FileText(path);
  EXPECT_NE(rewritten.find("[HKEY_CURRENT_USER\\Software\\Talvane\\GSM]\n@=\"default\"\n\"Blob\"=hex:01,02,03,04\n"
                           "\"CheckPower\"=dword:0000002A\n\"CheckSignal\"=dword:00000000\n"),
            std::string::npos)
      << rewritten;
}

TEST(Registry, AMalformedFileIsAnErrorAndIsNotOverwritten) {
  TestFolder folder;
  const auto path = folder / "registry.reg";
  for (const char* contents : {"garbage\n", "Windows Registry Editor Version 5.00\n\"Orphan\"=\"x\"\n",
                               "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\a]\n\"Open=\"x\"\n"}) {
    std::ofstream(path) << contents;
    Registry registry(path);
    std::string text;
    EXPECT_EQ(registry.ReadString("a", "Open", text), RegistryStatus::IoError) << contents;
    EXPECT_EQ(registry.WriteString("a", "Open", "y"), RegistryStatus::IoError) << contents;
    EXPECT_FALSE(registry.KeyExists("a"));
    EXPECT_EQ(FileText(path), contents);
  }
}

TEST(Registry, DefaultFileAndTheInstalledStore) {
  TestFolder folder;
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old ? old : "";
  ::setenv("XDG_CONFIG_HOME", folder.Path().c_str(), 1);
  EXPECT_EQ(Registry::DefaultFile(), folder / "talvane" / "registry.reg");
  ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
  EXPECT_EQ(Registry::DefaultFile().filename(), "registry.reg");
  EXPECT_NE(Registry::DefaultFile().parent_path().parent_path().string(), "relative/ignored");
  if (old) ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else ::unsetenv("XDG_CONFIG_HOME");

  Registry mine(folder / "mine.reg");
  InstallRegistry(&mine);
  EXPECT_EQ(&CurrentRegistry(), &mine);
  InstallRegistry(nullptr);
  EXPECT_NE(&CurrentRegistry(), &mine);
}

}  // namespace
}  // namespace platform
