#include "app/window/zo_form_storage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/window/testing/memory_form.h"
#include "app/window/test_support.h"
#include "app/window/zo_tools.h"
#include "platform/program_dir.h"

namespace app {
namespace {

constexpr const char* kKey = "\\Software\\Talvane\\frmMain";

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class FormStorage : public ::testing::Test {
 protected:
  FormStorage() {
    form.SetMinimumSize(846, 786);
    form.SetClientSize(838, 752);  // outer 846 x 786
  }

  // The main window's instance: registry mode.
  std::unique_ptr<TZoFormStorage> MakeStorage(bool useRegistry = true) {
    auto storage = std::make_unique<TZoFormStorage>(form, "/opt/talvane/Talvane.exe");
    storage->SetIniFileName(TZoFormStorage::kAppIniName);
    storage->SetTypeIniName(TApplicationIniName::asAppIniName);
    storage->SetUseRegistry(useRegistry);
    storage->Loaded();
    return storage;
  }

  std::string Stored(const char* name) {
    std::string value;
    return env.registry.ReadString(kKey, name, value) == platform::RegistryStatus::Ok ? value : "<none>";
  }

  testing::TestEnvironment env;
  MemoryForm form{"frmMain", 1920, 1080};
};

TEST_F(FormStorage, NamesFollowTheProgramFile) {
  TZoFormStorage storage(form, "/opt/talvane/Talvane.exe");
  EXPECT_EQ(storage.RegistryKey(), kKey);
  EXPECT_TRUE(form.UsesDefaultPosition());
  EXPECT_TRUE(storage.Active());
  EXPECT_EQ(storage.UseRegistry(), !platform::IsAdministrator());
  EXPECT_EQ(storage.IniFileName(), (env.ProgramDir() / "talvane.ini").string());

  // This system's program file has no extension: nothing of its name is cut off.
  TZoFormStorage plain(form, "/usr/bin/talvane");
  EXPECT_EQ(plain.RegistryKey(), "\\Software\\talvane\\frmMain");
  EXPECT_EQ(plain.IniFileName(), (env.ProgramDir() / "talvane.ini").string());
  TZoFormStorage upper(form, "C/Apps/Talvane.EXE");
  EXPECT_EQ(upper.IniFileName(), (env.ProgramDir() / "talvane.ini").string());
}

TEST_F(FormStorage, IniFileNameRules) {
  TZoFormStorage storage(form, "/opt/talvane/Talvane.exe");
  const std::string derived = (env.ProgramDir() / "talvane.ini").string();
  // The placeholder with blanks around it still means the derived name.
  storage.SetIniFileName("  [ApplicationExeName.ini] ");
  EXPECT_EQ(storage.TypeIniName(), TApplicationIniName::asAppIniName);
  EXPECT_EQ(storage.IniFileName(), derived);

  storage.SetIniFileName(" /tmp/own.ini");
  EXPECT_EQ(storage.TypeIniName(), TApplicationIniName::asCustom);
  EXPECT_EQ(storage.IniFileName(), " /tmp/own.ini");
  // A custom name stays custom, even for the placeholder, until the type is reset.
  storage.SetIniFileName(TZoFormStorage::kAppIniName);
  EXPECT_EQ(storage.IniFileName(), TZoFormStorage::kAppIniName);
  storage.SetTypeIniName(TApplicationIniName::asAppIniName);
  EXPECT_EQ(storage.IniFileName(), derived);
}

TEST_F(FormStorage, FirstStartCentresTheDesignedSize) {
  auto storage = MakeStorage();
  form.Show();
  EXPECT_EQ(form.Width(), 846);
  EXPECT_EQ(form.Height(), 786);
  EXPECT_EQ(form.Top(), (1080 - 786) / 2);
  EXPECT_EQ(form.Left(), (1920 - 846) / 2);
  // Showing does not write anything.
  EXPECT_FALSE(env.registry.KeyExists(kKey));
}

TEST_F(FormStorage, RestoreUsesEachStoredValueAndDefaultsTheRest) {
  struct Case {
    std::vector<std::pair<const char*, const char*>> stored;
    int width, height, top, left;
  };
  const Case cases[] = {
      // Size only: centred with the stored size.
      {{{"Width", "900"}, {"Height", "800"}}, 900, 800, 140, 510},
      // A position off the screen is applied as it is.
      {{{"Width", "900"}, {"Height", "800"}, {"Top", "5"}, {"Left", "-20"}}, 900, 800, 5, -20},
      // Values that are not integers fall back; odd sizes centre rounding toward zero.
      {{{"Width", "abc"}, {"Height", "801"}, {"Top", ""}, {"Left", "12.5"}}, 846, 801, 139, 537},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(env.registry.File());
    for (const auto& [name, value] : c.stored) env.registry.WriteString(kKey, name, value);
    MemoryForm window("frmMain", 1920, 1080);
    window.SetMinimumSize(846, 786);
    window.SetClientSize(838, 752);
    TZoFormStorage storage(window, "/opt/talvane/Talvane.exe");
    storage.SetUseRegistry(true);
    storage.Loaded();
    window.Show();
    EXPECT_EQ(window.Width(), c.width);
    EXPECT_EQ(window.Height(), c.height);
    EXPECT_EQ(window.Top(), c.top);
    EXPECT_EQ(window.Left(), c.left);
  }
  // A value of the wrong type falls back too.
  std::filesystem::remove(env.registry.File());
  env.registry.WriteDword(kKey, "Width", 1000);
  auto storage = MakeStorage();
  form.Show();
  EXPECT_EQ(form.Width(), 846);
}

TEST_F(FormStorage, ClosingAndDestroyingSaveTheSameValuesInTheRegistry) {
  bool previousCloseQueryRan = false;
  bool previousDestroyRan = false;
  form.OnCloseQuery = [&](bool&) { previousCloseQueryRan = true; };
  form.OnDestroy = [&] {
    previousDestroyRan = true;
    // The window's own destroy handler runs after the save.
    EXPECT_EQ(Stored("Width"), "1000");
  };
  auto storage = MakeStorage();
  form.Show();
  form.SetWidth(1000);
  form.SetHeight(900);
  form.SetLeft(-20);
  form.SetTop(33);

  form.Close();
  EXPECT_TRUE(previousCloseQueryRan);
  EXPECT_EQ(Stored("Width"), "1000");
  EXPECT_EQ(Stored("Height"), "900");
  EXPECT_EQ(Stored("Top"), "33");
  EXPECT_EQ(Stored("Left"), "-20");

  // Destruction writes the four values again.
  std::filesystem::remove(env.registry.File());
  form.OnDestroy();
  EXPECT_TRUE(previousDestroyRan);
  EXPECT_EQ(Stored("Width"), "1000");
  EXPECT_EQ(Stored("Left"), "-20");
  EXPECT_TRUE(env.dialogs.Boxes().empty());

  // The next start restores what was saved.
  storage.reset();
  MemoryForm next("frmMain", 1920, 1080);
  next.SetMinimumSize(846, 786);
  TZoFormStorage restoring(next, "/opt/talvane/Talvane.exe");
  restoring.SetUseRegistry(true);
  restoring.Loaded();
  next.Show();
  EXPECT_EQ(next.Width(), 1000);
  EXPECT_EQ(next.Height(), 900);
  EXPECT_EQ(next.Top(), 33);
  EXPECT_EQ(next.Left(), -20);
}

TEST_F(FormStorage, NoSaveWhenClosingIsRefusedInactiveOrWithoutWindow) {
  form.OnCloseQuery = [](bool& canClose) { canClose = false; };
  auto storage = MakeStorage();
  form.Show();
  form.Close();
  EXPECT_TRUE(form.Visible());
  EXPECT_FALSE(env.registry.KeyExists(kKey));

  storage.reset();
  form.OnCloseQuery = nullptr;
  storage = MakeStorage();  // takes over again, now with no handler of the window's own
  form.SetHandleAllocated(false);
  form.Close();
  EXPECT_FALSE(env.registry.KeyExists(kKey));

  form.SetHandleAllocated(true);
  storage->SetActive(false);
  form.Show();
  form.Close();
  form.OnDestroy();
  EXPECT_FALSE(env.registry.KeyExists(kKey));
}

TEST_F(FormStorage, DestructionGivesTheWindowItsHandlersBack) {
  int shows = 0;
  form.OnShow = [&] { ++shows; };
  {
    auto storage = MakeStorage();
    form.Show();
    EXPECT_EQ(shows, 1);  // the window's own handler still runs
    form.Hide();
  }
  std::filesystem::remove(env.registry.File());
  form.SetWidth(1200);
  form.Show();
  EXPECT_EQ(shows, 2);
  EXPECT_EQ(form.Width(), 1200);  // nothing restored any more
  form.Close();
  EXPECT_FALSE(env.registry.KeyExists(kKey));
}

TEST_F(FormStorage, IniModeRestoresAndSavesInItsSection) {
  const std::filesystem::path ini = env.ProgramDir() / "talvane.ini";
  std::ofstream(ini) << "; kept\n[other]\nWidth=1\n[frmMain]\nWidth=1000\nLeft=-20\n";
  auto storage = MakeStorage(false);
  form.Show();
  EXPECT_EQ(form.Width(), 1000);
  EXPECT_EQ(form.Height(), 786);
  EXPECT_EQ(form.Top(), 147);
  EXPECT_EQ(form.Left(), -20);

  form.SetTop(12);
  form.Close();
  const std::string text = FileText(ini);
  EXPECT_NE(text.find("; kept\n[other]\nWidth=1\n"), std::string::npos) << text;
  // Written in the order Top, Left, Width, Height (existing keys keep their place).
  EXPECT_NE(text.find("[frmMain]\nWidth=1000\nLeft=-20\nTop=12\nHeight=786\n"), std::string::npos) << text;
  EXPECT_FALSE(env.registry.KeyExists(kKey));

  // A fresh file gets the keys in the order they are written.
  std::filesystem::remove(ini);
  form.Close();
  EXPECT_NE(FileText(ini).find("[frmMain]\nTop=12\nLeft=-20\nWidth=1000\nHeight=786\n"), std::string::npos);
}

TEST_F(FormStorage, AnIniFileThatCannotBeWrittenIsReportedAndClosingGoesOn) {
  auto storage = MakeStorage(false);
  storage->SetIniFileName((env.folder / "a-folder").string());
  std::filesystem::create_directories(env.folder / "a-folder");
  form.Show();
  bool closed = false;
  form.OnClose = [&] { closed = true; };
  form.Close();
  EXPECT_TRUE(closed);
  ASSERT_EQ(env.dialogs.Boxes().size(), 1u);
  EXPECT_EQ(env.dialogs.Boxes()[0].icon, platform::DialogIcon::Error);
}

}  // namespace
}  // namespace app
