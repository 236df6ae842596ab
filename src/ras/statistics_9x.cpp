// Windows 95/98/Me: the dial-up adapter counters of the dynamic-data registry.
#include <algorithm>
#include <cstring>

#include "ras/statistics.h"

namespace tarnwick {

namespace {

constexpr char kEnumKey[] = "System\\CurrentControlSet\\Control\\PerfStats\\Enum";
constexpr char kStartStat[] = "PerfStats\\StartStat";
constexpr char kStopStat[] = "PerfStats\\StopStat";
constexpr char kStatData[] = "PerfStats\\StatData";
constexpr char kXmit[] = "TotalBytesXmit";
constexpr char kRecvd[] = "TotalBytesRecvd";
constexpr char kSpeed[] = "ConnectSpeed";
constexpr size_t kMaxAdapterName = 32;

std::optional<uint32_t> ReadCounter(StatsRegistryKey& key, const std::string& name) {
  std::optional<std::string> bytes = key.Read(name);
  // The counters are 4-byte values; a shorter one is taken zero-extended as a
  // DWORD-sized read would, anything else is not a counter.
  if (!bytes || bytes->empty() || bytes->size() > sizeof(uint32_t)) return std::nullopt;
  uint32_t value = 0;
  std::memcpy(&value, bytes->data(), bytes->size());
  return value;
}

}  // namespace

bool ConnectionStatistics::GetDUNAList() {
  duna_.clear();
  if (!sources_.platform.IsWindows9x() || !sources_.registry) return false;
  auto adapters = sources_.registry->Open(StatsRoot::kLocalMachine, kEnumKey);
  auto startStat = sources_.registry->Open(StatsRoot::kDynData, kStartStat);
  if (!adapters || !startStat) return false;
  for (const std::string& name : adapters->SubkeyNames()) {
    if (name.size() > kMaxAdapterName) continue;
    if (startStat->HasValue(name + "\\" + kSpeed)) duna_.push_back(name);
  }
  std::sort(duna_.begin(), duna_.end());
  return true;
}

// Reading the adapter's values under StartStat / StopStat is what switches its
// counters on or off; the values themselves are not used.
bool ConnectionStatistics::ToggleAdapterCounters(bool start) {
  if (!sources_.registry) return false;
  auto key = sources_.registry->Open(StatsRoot::kDynData, start ? kStartStat : kStopStat);
  if (!key) return false;
  for (const char* name : {kXmit, kRecvd, kSpeed}) {
    if (!key->Read(dunaKey_ + "\\" + name)) return false;
  }
  return true;
}

bool ConnectionStatistics::GetStatistics9x() {
  if (!sources_.registry) return false;
  auto key = sources_.registry->Open(StatsRoot::kDynData, kStatData);
  if (!key) return false;
  std::optional<uint32_t> sent = ReadCounter(*key, dunaKey_ + "\\" + kXmit);
  if (!sent) return false;
  std::optional<uint32_t> received = ReadCounter(*key, dunaKey_ + "\\" + kRecvd);
  if (!received) return false;
  std::optional<uint32_t> speed = ReadCounter(*key, dunaKey_ + "\\" + kSpeed);
  if (!speed) return false;

  rawSent_ = *sent;
  rawRecv_ = *received;
  // A counter that went backwards means the adapter restarted: count from here.
  if (rawSent_ < baseSent_) ResetStatistics();
  if (rawRecv_ < baseRecv_) ResetStatistics();
  connectionSpeed_ = *speed;
  bytesXmit_ = rawSent_ - baseSent_;
  bytesRecv_ = rawRecv_ - baseRecv_;
  return true;
}

}  // namespace tarnwick
