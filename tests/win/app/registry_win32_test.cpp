// The Win32 registry store against Wine's registry, under a scratch key.
#include "app/registry_win32.h"

#include <gtest/gtest.h>

#include "app/error.h"
#include "app/registry_value.h"
#include "app/settings_store.h"
#include "app/system_error.h"

namespace tarnwick {
namespace {

constexpr const char* kScratch = "Software\\TarnwickTests\\Registry";

class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarnwickTests"); }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarnwickTests"); }
  Win32Registry user{HKEY_CURRENT_USER};
};

TEST_F(Win32RegistryTest, ValuesRoundTripWithTheirTypesAndFullLength) {
  auto key = user.Open(kScratch, true, RegAccess::kAll);
  ASSERT_TRUE(key);
  const std::string long_text(100000, 'x');
  EXPECT_EQ(key->Write("long", RegText(long_text)), 0u);
  EXPECT_EQ(key->Write("number", RegDword(-5)), 0u);
  EXPECT_EQ(key->Write("real", RegDouble(1.1)), 0u);
  EXPECT_EQ(AsText(*key->Read("LONG")), long_text);  // names are case-insensitive
  EXPECT_EQ(AsDword(*key->Read("number")), -5);
  EXPECT_EQ(AsDouble(*key->Read("real")), 1.1);
  EXPECT_FALSE(key->Read("missing"));
  EXPECT_EQ(key->Delete("number"), 0u);
  EXPECT_EQ(key->Delete("number"), static_cast<uint32_t>(kRegFileNotFound));
}

TEST_F(Win32RegistryTest, OpeningWithoutCreatingReportsAMissingKey) {
  uint32_t error = 0;
  EXPECT_FALSE(user.Open("Software\\TarnwickTests\\Nope", false, RegAccess::kAll, &error));
  EXPECT_EQ(error, static_cast<uint32_t>(kRegFileNotFound));
  EXPECT_TRUE(user.Open("\\Software\\TarnwickTests\\Made", true, RegAccess::kWrite));
  EXPECT_TRUE(user.Open("Software\\TarnwickTests\\Made", false, RegAccess::kAll));
}

TEST_F(Win32RegistryTest, SettingsRoundTripThroughTheRealRegistry) {
  // The settings store writes below its own key paths; run it under the scratch key.
  class Scratch : public RegistryStore {
   public:
    std::unique_ptr<RegistryKey> Open(const std::string& path, bool create, RegAccess access,
                                      uint32_t* error) override {
      return inner.Open(std::string(kScratch) + path, create, access, error);
    }
    uint32_t DeleteTree(const std::string& path) override {
      return inner.DeleteTree(std::string(kScratch) + path);
    }
    Win32Registry inner{HKEY_CURRENT_USER};
  } scratch;
  Settings saved;
  SetDefaultSettings(saved);
  saved.conname = "Dial-up \xE9t\xE9";  // ANSI bytes stay as they are
  saved.notifs.resize(2);
  saved.notifs[1].NotifyMethod = kNotifySleep;
  saved.notifs[1].sseconds = 30;
  saved.weekdays = {2, 4};
  SaveSettings(saved, scratch);
  Settings loaded;
  SetDefaultSettings(loaded);
  EXPECT_TRUE(LoadSettings(loaded, scratch).complete());
  EXPECT_EQ(loaded, saved);
}

// The real registry checks a key's access: the type of the stored value can be
// read only through a key opened to query it.
TEST_F(Win32RegistryTest, WritingWithTheStoredTypeWorksOnTheRealRegistry) {
  auto key = user.Open(kScratch, true, RegAccess::kAll);
  ASSERT_TRUE(key);
  ASSERT_EQ(key->Write("Number", RegDword(1)), 0u);
  ASSERT_EQ(key->Write("Text", RegText("old")), 0u);
  WriteRegistryValue(user, kScratch, "Number", std::string("7"), kValueKindExisting);
  WriteRegistryValue(user, kScratch, "Text", std::string("new"), kValueKindExisting);
  EXPECT_EQ(key->Read("Number"), RegDword(7));
  EXPECT_EQ(key->Read("Text"), RegText("new"));
  EXPECT_THROW(WriteRegistryValue(user, kScratch, "Missing", std::string("x"), kValueKindExisting),
               Error);
  EXPECT_FALSE(key->Read("Missing"));
}

TEST_F(Win32RegistryTest, DeletingATreeTakesTheKeyAndWhatIsBelowIt) {
  ASSERT_TRUE(user.Open(std::string(kScratch) + "\\Below\\Deeper", true, RegAccess::kAll));
  EXPECT_EQ(user.DeleteTree(std::string("\\") + kScratch), 0u);
  EXPECT_FALSE(user.Open(kScratch, false, RegAccess::kRead));
  EXPECT_TRUE(user.Open("Software\\TarnwickTests", false, RegAccess::kRead));
  EXPECT_EQ(user.DeleteTree(kScratch), static_cast<uint32_t>(kRegFileNotFound));
}

TEST(SystemErrorText, GivesTheSystemMessageWithoutTrailingPunctuation) {
  const std::string text = SystemErrorText(ERROR_ACCESS_DENIED);
  EXPECT_FALSE(text.empty());
  EXPECT_NE(text.back(), '.');
  EXPECT_NE(text.back(), '\n');
  EXPECT_NE(SystemErrorText(1013), SystemErrorText(ERROR_ACCESS_DENIED));
}

}  // namespace
}  // namespace tarnwick
