#include "app/startup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/error.h"
#include "app/memory_registry.h"
#include "app/settings_store.h"
#include "support/message_box_recorder.h"

namespace tarnwick {
namespace {

TEST(StartupSwitch, MatchesTheWholeWordInAnyCaseAtAnyPosition) {
  EXPECT_TRUE(HasStartupSwitch({"C:\\t.exe", "startup"}));
  EXPECT_TRUE(HasStartupSwitch({"C:\\t.exe", "STARTUP"}));
  EXPECT_TRUE(HasStartupSwitch({"C:\\t.exe", "other", "StartUp"}));
  EXPECT_TRUE(HasStartupSwitch({"startup"}));  // position 0 counts too
  EXPECT_FALSE(HasStartupSwitch({"C:\\t.exe"}));
  EXPECT_FALSE(HasStartupSwitch({"C:\\t.exe", "/startup"}));
  EXPECT_FALSE(HasStartupSwitch({"C:\\t.exe", "-startup"}));
  EXPECT_FALSE(HasStartupSwitch({"C:\\t.exe", "startups"}));
  EXPECT_FALSE(HasStartupSwitch({}));
}

TEST(ProgramDir, KeepsTheTrailingBackslash) {
  EXPECT_EQ(ProgramDirOf("C:\\Apps\\Tarnwick\\Tarnwick.exe"), "C:\\Apps\\Tarnwick\\");
  EXPECT_EQ(ProgramDirOf("C:\\t.exe"), "C:\\");
  EXPECT_EQ(ProgramDirOf("t.exe"), "");
}

TEST(SettingsRootChoice, PrefersTheMachineRootAndFallsBackToTheUser) {
  MemoryRegistry machine, user;
  auto root = ChooseSettingsRoot(machine, user);
  EXPECT_EQ(root.store, &machine);
  EXPECT_FALSE(root.product_key_existed);
  root = ChooseSettingsRoot(machine, user);  // the key now exists
  EXPECT_EQ(root.store, &machine);
  EXPECT_TRUE(root.product_key_existed);

  MemoryRegistry locked, user2;
  locked.DenyKey("SOFTWARE");
  root = ChooseSettingsRoot(locked, user2);
  EXPECT_EQ(root.store, &user2);
  EXPECT_FALSE(root.product_key_existed);
  SaveSettings(Settings{}, user2);
  root = ChooseSettingsRoot(locked, user2);
  EXPECT_EQ(root.store, &user2);
  EXPECT_TRUE(root.product_key_existed);
}

TEST(BringInSettings, AFirstStartWritesTheDefaultsAndASecondChangesNothing) {
  MemoryRegistry machine, user;
  Settings settings;
  EXPECT_TRUE(BringInSettings(settings, ChooseSettingsRoot(machine, user)));
  EXPECT_EQ(*machine.Get(kMainKey, "Width"), RegDword(440));

  settings.conname = "changed in memory only";
  machine.log.clear();
  EXPECT_FALSE(BringInSettings(settings, ChooseSettingsRoot(machine, user)));
  EXPECT_EQ(settings.conname, "");
  for (const auto& entry : machine.log) EXPECT_EQ(entry.rfind("write", 0), std::string::npos);
}

TEST(BringInSettings, AFirstStartWhoseSaveFailsIsAFirstStartAgain) {
  MemoryRegistry machine, user;
  machine.FailWritesOf("Notifcnt");
  const SettingsRoot first = ChooseSettingsRoot(machine, user);
  ASSERT_FALSE(first.product_key_existed);
  Settings settings;
  EXPECT_THROW(BringInSettings(settings, first), Error);
  // The next start finds no product key, only what lies above it.
  EXPECT_FALSE(ChooseSettingsRoot(machine, user).product_key_existed);
  EXPECT_TRUE(machine.HasKey("SOFTWARE\\Fenmoor"));
}

TEST(BringInSettings, AnIncompleteTreeIsCompletedSilently) {
  MemoryRegistry machine, user;
  Settings settings;
  SetDefaultSettings(settings);
  settings.conname = "ISP";
  SaveSettings(settings, machine);
  machine.Remove(kProductKey, "startdelay");
  machine.Remove(kMainKey, "Top");

  testing::MessageBoxRecorder boxes;
  Settings loaded;
  EXPECT_FALSE(BringInSettings(loaded, ChooseSettingsRoot(machine, user)));
  EXPECT_EQ(loaded.conname, "ISP");
  EXPECT_EQ(*machine.Get(kProductKey, "startdelay"), RegDword(45));
  EXPECT_EQ(*machine.Get(kMainKey, "Top"), RegDword(50));
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST(CloseRecord, NormalMaximizedAndMinimizedWindows) {
  WindowGeometry g{1, 1, 1, 1, 1};
  EXPECT_TRUE(RecordWindowOnClose(WindowState::kNormal, {10, 20, 300, 400}, g));
  EXPECT_EQ(g, (WindowGeometry{0, 400, 300, 10, 20}));

  EXPECT_TRUE(RecordWindowOnClose(WindowState::kMaximized, {0, 0, 1280, 1024}, g));
  EXPECT_EQ(g, (WindowGeometry{1, 400, 300, 10, 20}));  // bounds untouched

  const WindowGeometry before = g;
  EXPECT_FALSE(RecordWindowOnClose(WindowState::kMinimized, {-32000, -32000, 160, 28}, g));
  EXPECT_EQ(g, before);

  RecordWindowOnExit({5, 6, 7, 8}, g);
  EXPECT_EQ(g, (WindowGeometry{1, 8, 7, 5, 6}));  // Status keeps its value
}

}  // namespace
}  // namespace tarnwick
