#include "launcher/settings.h"

#include "app/app_error.h"
#include "fakes/fake_launcher_rig.h"

#include <gtest/gtest.h>

#include <functional>

namespace fablewick {
namespace {

using Events = std::vector<std::string>;

const std::string kLauncher = "Software\\Quillmere\\Launcher\\1.0";
const std::string kInstall = "Software\\Quillmere\\Marrowkins\\1.0";

class SettingsTest : public ::testing::Test {
protected:
  // One start of the program: a fresh window (the mark off) over the same
  // registry and file system.
  std::string Start() {
    rig.events.clear();
    rig.host.checked = false;
    values = DefaultSettings();
    try {
      FormShow(rig.ports, rig.host, values);
    } catch (const AppError& error) {
      return error.what();
    }
    return "";
  }
  std::string ClickMenuItem() {
    rig.events.clear();
    try {
      SettingClick(rig.ports, rig.host, values, kMusicEnabled);
    } catch (const AppError& error) {
      return error.what();
    }
    return "";
  }

  fakes::FakeLauncherRig rig;
  SettingValues values{};
  bool& musicEnabled = values[kMusicEnabled];
};

// --- first and later starts -------------------------------------------------

TEST_F(SettingsTest, AFirstStartWithoutMoviesPlaysTheTuneAndMarksTheLauncherAsStarted) {
  EXPECT_EQ(Start(), "");
  EXPECT_EQ(rig.events, (Events{"set main form", "movies?", "play 132", "check on"}));
  EXPECT_TRUE(musicEnabled);
  EXPECT_TRUE(rig.registry.HasKey(kLauncher));
  EXPECT_TRUE(rig.registry.keys[kLauncher].empty());
  // The sibling product's key is created, empty, when it is missing.
  EXPECT_TRUE(rig.registry.keys[kInstall].empty());
  EXPECT_EQ(rig.registry.openHandles, 0);

  rig.host.moviesPresent = true;
  EXPECT_EQ(Start(), "");
  EXPECT_EQ(rig.events, (Events{"set main form", "play 132", "check on"}));
}

TEST_F(SettingsTest, AFirstStartWithAMovieShowsTheIntroBeforeTheKeyIsMadeAndTheTunePlays) {
  rig.host.moviesPresent = true;
  bool keyExistedDuringIntro = true;
  rig.host.onIntro = [&] { keyExistedDuringIntro = rig.registry.HasKey(kLauncher); };
  EXPECT_EQ(Start(), "");
  EXPECT_EQ(rig.events, (Events{"set main form", "movies?", "intro", "play 132", "check on"}));
  EXPECT_FALSE(keyExistedDuringIntro);
  EXPECT_TRUE(rig.registry.HasKey(kLauncher));
}

TEST_F(SettingsTest, TheInstallDirectoryIsMadeCurrentBeforeTheMoviesAreLookedFor) {
  rig.registry.PutWideText(kInstall, "InstallDir", u"C:\\Card Table");
  EXPECT_EQ(Start(), "");
  EXPECT_EQ(rig.events,
            (Events{"set main form", "cd C:\\Card Table", "movies?", "play 132", "check on"}));
}

TEST_F(SettingsTest, TheInstallDirectoryIsUsedExactlyAsStored) {
  const struct {
    std::uint32_t type;
    std::vector<std::uint8_t> bytes;
    std::u16string cd;
  } cases[] = {
      {kRegExpandSz, fakes::Utf16Bytes(std::u16string(u"%X%\\G\0", 7)), u"%X%\\G"},
      {kRegSz, fakes::Utf16Bytes(u"D:\\G"), u"D:\\G"},
      {kRegSz, {0}, u""},
      // Names in any script, beyond the Basic Multilingual Plane too.
      {kRegSz, fakes::Utf16Bytes(u"C:\\\u30ab\u30fc\u30c9 \U0001F0A1"), u"C:\\\u30ab\u30fc\u30c9 \U0001F0A1"},
  };
  for (const auto& c : cases) {
    rig.registry.Put(kInstall, "InstallDir", c.type, c.bytes);
    EXPECT_EQ(Start(), "");
    ASSERT_GE(rig.events.size(), 2u);
    EXPECT_EQ(rig.events[1].substr(0, 3), "cd ");
    ASSERT_FALSE(rig.shell.directoryRequests.empty());
    EXPECT_TRUE(rig.shell.directoryRequests.back() == c.cd) << rig.events[1];
  }
}

// --- the tune choice --------------------------------------------------------

TEST_F(SettingsTest, AStoredZeroSilencesTheTuneUntilTheItemTurnsItBackOn) {
  rig.registry.PutDword(kLauncher, "128", 0);
  EXPECT_EQ(Start(), "");
  EXPECT_EQ(rig.events, (Events{"set main form", "check off"}));
  EXPECT_FALSE(musicEnabled);

  EXPECT_EQ(ClickMenuItem(), "");
  EXPECT_EQ(rig.events, (Events{"check on"}));
  EXPECT_TRUE(musicEnabled);
  EXPECT_EQ(*rig.registry.Find(kLauncher, "128"), (fakes::StoredValue{kRegDword, {1, 0, 0, 0}}));

  EXPECT_EQ(Start(), "");
  EXPECT_EQ(rig.events, (Events{"set main form", "play 132", "check on"}));
}

TEST_F(SettingsTest, AnyNonZeroNumberPlaysTheTuneAndTheItemThenStoresZero) {
  rig.registry.PutDword(kLauncher, "128", 5);
  EXPECT_EQ(Start(), "");
  EXPECT_EQ(rig.events, (Events{"set main form", "play 132", "check on"}));

  EXPECT_EQ(ClickMenuItem(), "");
  EXPECT_EQ(rig.events, (Events{"check off"}));
  EXPECT_FALSE(musicEnabled);
  EXPECT_EQ(*rig.registry.Find(kLauncher, "128"), (fakes::StoredValue{kRegDword, {0, 0, 0, 0}}));
  EXPECT_EQ(rig.registry.openHandles, 0);
}

TEST_F(SettingsTest, ABadlyStoredChoiceIsReportedAndTheFirstClickRepairsIt) {
  const struct {
    std::uint32_t type;
    std::vector<std::uint8_t> bytes;
    const char* message;
  } cases[] = {
      {kRegSz, {'1', 0}, "Invalid data type for '128'"},
      {kRegBinary, {1, 0, 0, 0, 0, 0, 0, 0}, "Failed to get data for '128'"},
  };
  for (const auto& c : cases) {
    rig.registry.Put(kLauncher, "128", c.type, c.bytes);
    EXPECT_EQ(Start(), c.message);
    EXPECT_EQ(rig.events, (Events{"set main form"}));
    EXPECT_TRUE(musicEnabled);
    EXPECT_FALSE(rig.host.checked);
    EXPECT_EQ(rig.registry.openHandles, 0);

    EXPECT_EQ(ClickMenuItem(), "");
    EXPECT_TRUE(musicEnabled);
    EXPECT_TRUE(rig.host.checked);
    EXPECT_EQ(*rig.registry.Find(kLauncher, "128"),
              (fakes::StoredValue{kRegDword, {1, 0, 0, 0}}));
  }
}

// --- failures ---------------------------------------------------------------

TEST_F(SettingsTest, AnInstallDirectoryThatIsNotTextStopsTheStartBeforeTheFirstRunCheck) {
  rig.registry.PutDword(kInstall, "InstallDir", 1);
  rig.host.moviesPresent = true;
  EXPECT_EQ(Start(), "Invalid data type for 'InstallDir'");
  EXPECT_EQ(rig.events, (Events{"set main form"}));
  EXPECT_FALSE(rig.registry.HasKey(kLauncher));
  EXPECT_EQ(rig.registry.openHandles, 0);

  // Every start repeats it until the value is put right.
  EXPECT_EQ(Start(), "Invalid data type for 'InstallDir'");
  EXPECT_FALSE(rig.registry.HasKey(kLauncher));
}

TEST_F(SettingsTest, KeysThatCannotBeOpenedLeaveTheDefaultsAndEveryStartIsAFirstRun) {
  for (const std::string& key : {kLauncher, kInstall}) {
    rig.registry.refuseCreate.insert(key);
    rig.registry.refuseOpen.insert(key);
  }
  for (int start = 0; start < 2; ++start) {
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(rig.events, (Events{"set main form", "movies?", "play 132", "check on"}));
    EXPECT_TRUE(musicEnabled);
  }

  EXPECT_EQ(ClickMenuItem(), "Failed to set data for '128'");
  EXPECT_FALSE(musicEnabled);
  EXPECT_FALSE(rig.host.checked);
  EXPECT_TRUE(rig.registry.keys.empty());
  EXPECT_EQ(rig.registry.openHandles, 0);
}

TEST_F(SettingsTest, ALauncherKeyThatRefusesFullAccessMakesEveryStartAFirstRun) {
  rig.registry.PutDword(kLauncher, "128", 0);
  rig.registry.refuseOpen.insert(kLauncher);
  rig.host.moviesPresent = true;
  EXPECT_EQ(Start(), "");
  EXPECT_EQ(rig.events, (Events{"set main form", "movies?", "intro", "play 132", "check on"}));
}

TEST_F(SettingsTest, DeletingTheLauncherKeyBringsBackTheFirstRunAndTheTune) {
  rig.registry.PutDword(kLauncher, "128", 0);
  EXPECT_EQ(Start(), "");
  EXPECT_FALSE(musicEnabled);

  rig.registry.keys.erase(kLauncher);
  rig.host.moviesPresent = true;
  EXPECT_EQ(Start(), "");
  EXPECT_EQ(rig.events, (Events{"set main form", "movies?", "intro", "play 132", "check on"}));
  EXPECT_TRUE(musicEnabled);
}

TEST_F(SettingsTest, NothingIsWrittenButTheChoiceAndNothingStoredIsLost) {
  rig.registry.PutWideText(kInstall, "InstallDir", u"C:\\Card Table");
  rig.registry.PutText(kInstall, "Version", "2.1");
  rig.registry.PutText(kLauncher, "Skin", "green");
  const auto before = rig.registry.keys;

  EXPECT_EQ(Start(), "");
  EXPECT_TRUE(rig.registry.writes.empty());
  EXPECT_EQ(rig.registry.keys, before);

  EXPECT_EQ(ClickMenuItem(), "");
  EXPECT_EQ(rig.registry.writes, (Events{kLauncher + "\\128"}));
  auto expected = before;
  expected[kLauncher]["128"] = fakes::StoredValue{kRegDword, {0, 0, 0, 0}};
  EXPECT_EQ(rig.registry.keys, expected);
}

} // namespace
} // namespace fablewick
