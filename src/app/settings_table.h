#pragma once
// The stored settings as one table: a row per registry value, in the order the
// save writes them, with the member that holds it, how it is stored and its
// default. SetDefaultSettings, LoadSettings and SaveSettings all walk these
// tables, so the three cannot drift apart.
#include <cstdint>
#include <span>
#include <string>
#include <type_traits>
#include <variant>

#include "app/settings.h"

namespace tarnwick {

enum class StoredKey {
  kProduct,  // the product key
  kMain,     // its subkey Main: the main window's geometry
};

enum class ValueKind {
  kText,     // REG_SZ (REG_EXPAND_SZ is read too); a missing text reads as empty
  kInteger,  // REG_DWORD, signed
  kBoolean,  // REG_DWORD 0 or 1; any non-zero number reads as true
  kByte,     // REG_DWORD; memory keeps the low 8 bits
  kReal,     // REG_BINARY of 8 bytes, a little-endian IEEE double
  // Values with rules of their own (settings_store.cpp):
  kVersion,       // always written as kSettingsVersion; read into `version`
  kStepCount,     // Notifcnt: the size of the notification list
  kSteps,         // the list itself, one subkey per step (Notif1, Notif2, ...)
  kWeekdayCount,  // schedwdaynum: the size of the weekday list
  kWeekdays,      // scheddays: the weekday list as "2,4,6"
};

using SettingMember =
    std::variant<std::monostate, std::string Settings::*, int32_t Settings::*, bool Settings::*,
                 uint8_t Settings::*, double Settings::*, int32_t WindowGeometry::*>;
// A real whose default is text is a time of day read with the process's time format.
using SettingDefault = std::variant<std::monostate, const char*, int32_t, bool, double>;

struct SettingValue {
  const char* name;
  StoredKey key;
  ValueKind kind;
  SettingMember member;  // a WindowGeometry member is one of Settings::Main
  SettingDefault fallback;
  int load_position;  // the load reads in its own order: position 0 first
  // Values added after the layout was set: a tree without them loads without a
  // complaint and keeps the default.
  bool optional = false;
};

// Every value of the product key and of Main, in the order the save writes them.
std::span<const SettingValue> SettingValues();

// The values of a step's subkey, by the kind of step that stores them, in the
// order the save writes them.
struct StepValue {
  const char* name;
  uint8_t step_kind;
  ValueKind kind;  // kText or kInteger
  std::variant<std::string Notif::*, int32_t Notif::*, std::string EmailNotif::*,
               int32_t EmailNotif::*, std::string FtpNotif::*, int32_t FtpNotif::*,
               std::string LaunchNotif::*>
      member;
  bool read_back;     // false: written with the step, never read (emailUser)
  bool needs_counts;  // stored only by layouts from 1.01 on (maxretries, sseconds)
  bool optional = false;  // added later: a step without it loads quietly with 0
};
std::span<const StepValue> StepValues();

// The part of `record` (a Settings or a Notif) that holds the members of C.
template <typename C, typename R>
auto& PartOf(R& record) {
  using Record = std::remove_const_t<R>;
  if constexpr (std::is_same_v<C, Record>) {
    return record;
  } else if constexpr (std::is_same_v<C, WindowGeometry>) {
    return record.Main;
  } else if constexpr (std::is_same_v<C, EmailNotif>) {
    return record.emailNotifr;
  } else if constexpr (std::is_same_v<C, FtpNotif>) {
    return record.FTPNotifr;
  } else {
    static_assert(std::is_same_v<C, LaunchNotif>);
    return record.LaunchNotifr;
  }
}

// The field a row's member names, in `record` (const when the record is).
template <typename R, typename T, typename C>
auto& Field(R& record, T C::*member) {
  return PartOf<C>(record).*member;
}

}  // namespace tarnwick
