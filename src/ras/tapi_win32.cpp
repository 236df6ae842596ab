#include "ras/tapi_win32.h"

#include <tapi.h>
#include <windows.h>

#include <algorithm>
#include <cstring>

namespace tarnwick {

namespace {

// Starting sizes of the variable-length records; each grows to what the system
// asks for, within a bound.
constexpr DWORD kDevCapsSize = 1276;
constexpr DWORD kCallListSize = 152;
constexpr DWORD kCallInfoSize = 324;
constexpr DWORD kMaxRecordSize = 64 * 1024;

using LineInitializeFn = LONG(WINAPI*)(LPHLINEAPP, HINSTANCE, LINECALLBACK, LPCSTR, LPDWORD);
using LineNegotiateFn = LONG(WINAPI*)(HLINEAPP, DWORD, DWORD, DWORD, LPDWORD, LPLINEEXTENSIONID);
using LineGetDevCapsFn = LONG(WINAPI*)(HLINEAPP, DWORD, DWORD, DWORD, LPLINEDEVCAPS);
using LineOpenFn = LONG(WINAPI*)(HLINEAPP, DWORD, LPHLINE, DWORD, DWORD, DWORD_PTR, DWORD, DWORD,
                                 LPLINECALLPARAMS);
using LineGetNewCallsFn = LONG(WINAPI*)(HLINE, DWORD, DWORD, LPLINECALLLIST);
using LineGetCallInfoFn = LONG(WINAPI*)(HCALL, LPLINECALLINFO);
using LineShutdownFn = LONG(WINAPI*)(HLINEAPP);

void CALLBACK IgnoreLineEvent(DWORD, DWORD, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR) {}

// A TAPI variable-size record: it starts with its total, needed and used sizes.
struct VarRecord {
  std::vector<uint64_t> storage;  // 8-byte aligned
  DWORD total = 0;
  DWORD used = 0;
  uint8_t* bytes() { return reinterpret_cast<uint8_t*>(storage.data()); }
  DWORD Field(size_t offset) {
    DWORD value;
    std::memcpy(&value, bytes() + offset, sizeof value);
    return value;
  }
};

template <typename Fill>
std::optional<VarRecord> QueryRecord(DWORD initial, Fill fill) {
  VarRecord record;
  DWORD size = initial;
  for (int round = 0; round < 4; ++round) {
    record.storage.assign((size + 7) / 8, 0);
    DWORD header[3] = {size, 0, 0};
    std::memcpy(record.bytes(), header, sizeof header);
    if (fill(record.bytes()) != 0) return std::nullopt;
    std::memcpy(header, record.bytes(), sizeof header);
    const DWORD needed = header[1];
    if (needed <= size) {
      record.total = size;
      record.used = std::min(header[2], size);
      return record;
    }
    if (needed > kMaxRecordSize) return std::nullopt;
    size = needed;
  }
  return std::nullopt;
}

// True when [offset, offset + size) lies within the used part of the record.
bool InRecord(const VarRecord& record, DWORD offset, DWORD size) {
  return size <= record.used && offset <= record.used - size;
}

}  // namespace

struct Win32Telephony::Api {
  HMODULE module = nullptr;
  LineInitializeFn initialize = nullptr;
  LineNegotiateFn negotiate = nullptr;
  LineGetDevCapsFn getDevCaps = nullptr;
  LineOpenFn open = nullptr;
  LineGetNewCallsFn getNewCalls = nullptr;
  LineGetCallInfoFn getCallInfo = nullptr;
  LineShutdownFn shutdown = nullptr;
  ~Api() {
    if (module) FreeLibrary(module);
  }
};

Win32Telephony::Win32Telephony() = default;

Win32Telephony::~Win32Telephony() {
  Shutdown();
}

bool Win32Telephony::Loaded() const {
  return api_ && api_->module;
}

template <typename Fn>
static bool Resolve(HMODULE module, const char* name, Fn& fn) {
  fn = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
  return fn != nullptr;
}

bool Win32Telephony::Load() {
  if (api_) return api_->module != nullptr;
  api_ = std::make_unique<Api>();
  HMODULE module = LoadLibraryExA("tapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!module) return false;
  Api& api = *api_;
  api.module = module;
  bool ok = Resolve(module, "lineInitialize", api.initialize) &&
            Resolve(module, "lineNegotiateAPIVersion", api.negotiate) &&
            Resolve(module, "lineGetDevCapsA", api.getDevCaps) &&
            Resolve(module, "lineOpenA", api.open) &&
            Resolve(module, "lineGetNewCalls", api.getNewCalls) &&
            Resolve(module, "lineGetCallInfoA", api.getCallInfo) &&
            Resolve(module, "lineShutdown", api.shutdown);
  if (!ok) {
    FreeLibrary(module);
    api.module = nullptr;
  }
  return ok;
}

std::optional<uint32_t> Win32Telephony::Initialize(const std::string& appName) {
  Shutdown();
  if (!Load()) return std::nullopt;
  HLINEAPP app = 0;
  DWORD devices = 0;
  if (api_->initialize(&app, GetModuleHandleA(nullptr), IgnoreLineEvent, appName.c_str(),
                       &devices) != 0)
    return std::nullopt;
  app_ = app;
  initialized_ = true;
  return devices;
}

std::optional<uint32_t> Win32Telephony::NegotiateApiVersion(uint32_t device, uint32_t low,
                                                            uint32_t high) {
  if (!initialized_) return std::nullopt;
  DWORD version = 0;
  LINEEXTENSIONID extension{};
  if (api_->negotiate(app_, device, low, high, &version, &extension) != 0) return std::nullopt;
  return version;
}

std::optional<std::string> Win32Telephony::LineName(uint32_t device, uint32_t apiVersion) {
  if (!initialized_) return std::nullopt;
  auto caps = QueryRecord(std::max<DWORD>(kDevCapsSize, sizeof(LINEDEVCAPS)), [&](uint8_t* p) {
    return api_->getDevCaps(app_, device, apiVersion, 0, reinterpret_cast<LPLINEDEVCAPS>(p));
  });
  if (!caps) return std::nullopt;
  const DWORD size = caps->Field(offsetof(LINEDEVCAPS, dwLineNameSize));
  const DWORD offset = caps->Field(offsetof(LINEDEVCAPS, dwLineNameOffset));
  if (size == 0 || !InRecord(*caps, offset, size)) return std::nullopt;
  const char* text = reinterpret_cast<const char*>(caps->bytes() + offset);
  return std::string(text, strnlen(text, size));
}

std::optional<std::vector<TapiCallHandle>> Win32Telephony::NewCalls(uint32_t device,
                                                                    uint32_t apiVersion) {
  if (!initialized_) return std::nullopt;
  HLINE line = 0;
  // Monitoring needs no media modes. The line stays open until the session is
  // shut down, which closes it.
  if (api_->open(app_, device, &line, apiVersion, 0, 0, LINECALLPRIVILEGE_MONITOR, 0, nullptr) != 0)
    return std::nullopt;
  auto list = QueryRecord(std::max<DWORD>(kCallListSize, sizeof(LINECALLLIST)), [&](uint8_t* p) {
    return api_->getNewCalls(line, 0, LINECALLSELECT_LINE, reinterpret_cast<LPLINECALLLIST>(p));
  });
  if (!list) return std::nullopt;
  const DWORD entries = list->Field(offsetof(LINECALLLIST, dwCallsNumEntries));
  const DWORD size = list->Field(offsetof(LINECALLLIST, dwCallsSize));
  const DWORD offset = list->Field(offsetof(LINECALLLIST, dwCallsOffset));
  std::vector<TapiCallHandle> calls;
  if (!InRecord(*list, offset, size)) return calls;
  const DWORD count = std::min<DWORD>(entries, size / sizeof(HCALL));
  for (DWORD i = 0; i < count; ++i) calls.push_back(list->Field(offset + i * sizeof(HCALL)));
  return calls;
}

std::optional<uint32_t> Win32Telephony::CallRate(TapiCallHandle call) {
  if (!initialized_) return std::nullopt;
  auto info = QueryRecord(std::max<DWORD>(kCallInfoSize, sizeof(LINECALLINFO)), [&](uint8_t* p) {
    return api_->getCallInfo(call, reinterpret_cast<LPLINECALLINFO>(p));
  });
  if (!info || info->total < offsetof(LINECALLINFO, dwRate) + sizeof(DWORD)) return std::nullopt;
  return info->Field(offsetof(LINECALLINFO, dwRate));
}

void Win32Telephony::Shutdown() {
  if (!initialized_) return;
  api_->shutdown(app_);
  initialized_ = false;
  app_ = 0;
}

}  // namespace tarnwick
