#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/error.h"
#include "ras/ras_library.h"

namespace tarnwick {
namespace {

// Libraries as name -> exported functions; a missing name cannot be loaded.
class FakeLoader : public LibraryLoader {
 public:
  std::map<std::string, std::set<std::string>> libraries;
  std::vector<std::string> loads;
  std::vector<std::string> released;

  void* Load(const std::string& name) override {
    loads.push_back(name);
    auto it = libraries.find(name);
    return it == libraries.end() ? nullptr : &*it;
  }
  void* Find(void* library, const std::string& function) override {
    auto* lib = static_cast<std::pair<const std::string, std::set<std::string>>*>(library);
    return lib->second.count(function) ? const_cast<std::string*>(&*lib->second.find(function))
                                       : nullptr;
  }
  void Release(void* library) override {
    released.push_back(
        static_cast<std::pair<const std::string, std::set<std::string>>*>(library)->first);
  }
};

std::string MessageOf(RasLibrary& library, const std::string& function) {
  try {
    library.GetRasProc(function);
  } catch (const Error& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(RasLibrary, WithoutTheLibraryEveryCallFailsAndTriesAgain) {
  FakeLoader loader;
  RasLibrary library(loader);
  EXPECT_EQ(MessageOf(library, "RasEnumEntriesA"), "Error opening rasapi.dll");
  EXPECT_EQ(MessageOf(library, "RasDialA"), "Error opening rasapi.dll");
  EXPECT_EQ(loader.loads, (std::vector<std::string>{"rasapi32.dll", "rasapi32.dll"}));
  EXPECT_FALSE(library.Loaded());
  // Installed later: the next call succeeds.
  loader.libraries["rasapi32.dll"] = {"RasDialA"};
  EXPECT_NE(library.GetRasProc("RasDialA"), nullptr);
  EXPECT_TRUE(library.Loaded());
  EXPECT_FALSE(library.UsingFallback());
}

TEST(RasLibrary, LoadsOnceThenOnlyLooksUp) {
  FakeLoader loader;
  loader.libraries["rasapi32.dll"] = {"RasDialA", "RasHangUpA"};
  RasLibrary library(loader);
  void* dial = library.GetRasProc("RasDialA");
  EXPECT_EQ(library.GetRasProc("RasDialA"), dial);
  EXPECT_NE(library.GetRasProc("RasHangUpA"), nullptr);
  EXPECT_EQ(MessageOf(library, "RasGetCountryInfoA"), "Function RasGetCountryInfoA not found!");
  EXPECT_EQ(loader.loads.size(), 1u);
}

TEST(RasLibrary, FallsBackToTheOlderLibraryForGood) {
  FakeLoader loader;
  loader.libraries["rasapi32.dll"] = {"RasDialA"};
  loader.libraries["rnaph.dll"] = {"RasEnumEntriesA", "RasHangUpA"};
  {
    RasLibrary library(loader);
    EXPECT_NE(library.GetRasProc("RasEnumEntriesA"), nullptr);
    EXPECT_TRUE(library.UsingFallback());
    // Later look-ups go to the fallback only, even for functions the first has.
    EXPECT_EQ(MessageOf(library, "RasDialA"), "Function RasDialA not found!");
    EXPECT_NE(library.GetRasProc("RasHangUpA"), nullptr);
    EXPECT_EQ(loader.loads, (std::vector<std::string>{"rasapi32.dll", "rnaph.dll"}));
  }
  EXPECT_EQ(loader.released, (std::vector<std::string>{"rnaph.dll"}));
}

TEST(RasLibrary, AFunctionMissingFromBothLeavesTheNextCallToTheMainLibrary) {
  FakeLoader loader;
  loader.libraries["rasapi32.dll"] = {"RasDialA"};
  loader.libraries["rnaph.dll"] = {"RasEnumEntriesA"};
  RasLibrary library(loader);
  EXPECT_EQ(MessageOf(library, "RasGetCountryInfoA"), "Function RasGetCountryInfoA not found!");
  EXPECT_FALSE(library.Loaded());
  EXPECT_FALSE(library.UsingFallback());
  EXPECT_NE(library.GetRasProc("RasDialA"), nullptr);
  EXPECT_NE(library.GetRasProc("RasDialA"), nullptr);
  EXPECT_TRUE(library.Loaded());
  EXPECT_FALSE(library.UsingFallback());
  EXPECT_EQ(loader.loads, (std::vector<std::string>{"rasapi32.dll", "rnaph.dll"}));
  EXPECT_EQ(loader.released, (std::vector<std::string>{"rnaph.dll"}));
}

TEST(RasLibrary, FallbackFailuresHaveTheirOwnTexts) {
  FakeLoader loader;
  loader.libraries["rasapi32.dll"] = {};
  RasLibrary library(loader);
  EXPECT_EQ(MessageOf(library, "RasEnumEntriesA"), "Error opening rnaph.dll");
  loader.libraries["rnaph.dll"] = {};
  EXPECT_EQ(MessageOf(library, "RasEnumEntriesA"), "Function RasEnumEntriesA not found!");
  EXPECT_FALSE(library.Loaded());
}

}  // namespace
}  // namespace tarnwick
