#pragma once
// The record sizes the service accepts, as RAS on 64-bit Windows does: every
// published version of a record, laid out for x64. A record's version is told
// by its dwSize; fields beyond it are neither read nor written.
#include <windows.h>
// <ras.h> after <windows.h>.
#include <ras.h>

#include <cstddef>

namespace rassim {

constexpr DWORD Round4(size_t n) {
  return static_cast<DWORD>((n + 3) & ~size_t{3});
}

// RASDIALPARAMSA: up to szDomain (1052), + dwSubEntry/dwCallbackId, + dwIfIndex.
constexpr DWORD DialParamsV400Size() {
  return Round4(offsetof(RASDIALPARAMSA, szDomain) + (DNLEN + 1));
}
constexpr DWORD DialParamsV401Size() {
  return offsetof(RASDIALPARAMSA, dwIfIndex);
}
inline bool IsDialParamsSize(DWORD size) {
  return size == DialParamsV400Size() || size == DialParamsV401Size() ||
         size == sizeof(RASDIALPARAMSA);
}

// RASENTRYNAMEA: the name only (264), or with flags and phonebook path.
constexpr DWORD EntryNameV400Size() {
  return offsetof(RASENTRYNAMEA, dwFlags);
}
inline bool IsEntryNameSize(DWORD size) {
  return size == EntryNameV400Size() || size == sizeof(RASENTRYNAMEA);
}

// RASCONNA: up to szDeviceName, + phonebook/sub-entry, + guid, + flags/luid.
constexpr DWORD ConnV400Size() {
  return Round4(offsetof(RASCONNA, szDeviceName) + (RAS_MaxDeviceName + 1));
}
constexpr DWORD ConnV401Size() {
  return offsetof(RASCONNA, guidEntry);
}
constexpr DWORD ConnV500Size() {
  return offsetof(RASCONNA, dwFlags);
}
inline bool IsConnSize(DWORD size) {
  return size == ConnV400Size() || size == ConnV401Size() || size == ConnV500Size() ||
         size == sizeof(RASCONNA);
}

// RASCONNSTATUSA: without (160) or with the phone number.
constexpr DWORD ConnStatusV400Size() {
  return Round4(offsetof(RASCONNSTATUSA, szPhoneNumber));
}
inline bool IsConnStatusSize(DWORD size) {
  return size == ConnStatusV400Size() || size == sizeof(RASCONNSTATUSA);
}

// RASPPPIPA: the two addresses (40), or with the option flags.
constexpr DWORD PppIpV400Size() {
  return offsetof(RASPPPIPA, dwOptions);
}
inline bool IsPppIpSize(DWORD size) {
  return size == PppIpV400Size() || size == sizeof(RASPPPIPA);
}

static_assert(DialParamsV400Size() == 1052);
static_assert(EntryNameV400Size() == 264);
static_assert(ConnStatusV400Size() == 160);
static_assert(PppIpV400Size() == 40);
static_assert(sizeof(RAS_STATS) == 60);

}  // namespace rassim
