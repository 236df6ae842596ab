#include "app/registry_value.h"

#include <gtest/gtest.h>

#include "app/error.h"
#include "app/memory_registry.h"
#include "app/system_error.h"

namespace tarnwick {
namespace {

constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST(WriteRegistryValue, WritesEachKindWithItsRegistryType) {
  MemoryRegistry reg;
  WriteRegistryValue(reg, kRun, "Text", std::string("C:\\t.exe startup"), kValueKindText);
  WriteRegistryValue(reg, kRun, "Expand", std::string("%TEMP%"), kValueKindExpandText);
  WriteRegistryValue(reg, kRun, "Number", int32_t{42}, kValueKindInteger);
  WriteRegistryValue(reg, kRun, "NumberText", std::string("$10"), kValueKindInteger);
  WriteRegistryValue(reg, kRun, "Binary", int32_t{123}, kValueKindBinaryText);
  EXPECT_EQ(*reg.Get(kRun, "Text"), RegText("C:\\t.exe startup"));
  EXPECT_EQ(*reg.Get(kRun, "Expand"), RegText("%TEMP%", kRegExpandSz));
  EXPECT_EQ(*reg.Get(kRun, "Number"), RegDword(42));
  EXPECT_EQ(*reg.Get(kRun, "NumberText"), RegDword(16));
  EXPECT_EQ(*reg.Get(kRun, "Binary"), (RegistryValue{kRegBinary, "123"}));
}

TEST(WriteRegistryValue, KindZeroTakesTheStoredTypeOrFailsWith1013) {
  MemoryRegistry reg;
  reg.Set(kRun, "Existing", RegDword(1));
  WriteRegistryValue(reg, kRun, "Existing", std::string("7"), kValueKindExisting);
  EXPECT_EQ(*reg.Get(kRun, "Existing"), RegDword(7));

  try {
    WriteRegistryValue(reg, kRun, "Missing", std::string("x"), kValueKindExisting);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.what(), SystemErrorText(1013));
  }
  EXPECT_FALSE(reg.Get(kRun, "Missing"));
  EXPECT_THROW(WriteRegistryValue(reg, kRun, "Odd", std::string("x"), 9), Error);
  EXPECT_THROW(WriteRegistryValue(reg, kRun, "Bad", std::string("x1"), kValueKindInteger), Error);
}

TEST(WriteRegistryValue, ReportsKeysThatCannotBeOpened) {
  MemoryRegistry reg;
  reg.DenyKey("Software\\Microsoft");
  try {
    WriteRegistryValue(reg, kRun, "Tarnwick", std::string("x"), kValueKindText);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.what(), SystemErrorText(kRegAccessDenied));
  }
  EXPECT_THROW(DeleteRegistryValue(reg, kRun, "Tarnwick"), Error);
}

TEST(DeleteRegistryValue, DeletesAndAcceptsAMissingValue) {
  MemoryRegistry reg;
  reg.Set(kRun, "Tarnwick", RegText("x"));
  DeleteRegistryValue(reg, kRun, "tarnwick");
  EXPECT_FALSE(reg.Get(kRun, "Tarnwick"));
  EXPECT_NO_THROW(DeleteRegistryValue(reg, kRun, "Tarnwick"));
}

}  // namespace
}  // namespace tarnwick
