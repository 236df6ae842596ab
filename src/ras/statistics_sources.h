#pragma once
// The system sources behind the connection statistics, each a small interface so
// that every platform family's path can be driven in tests. The Win32 versions
// live in the *_win32.cpp files beside this one.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// RAS connection handle as the RAS component keeps it (0 = none).
using RasConnHandle = uintptr_t;

// --- Registry: the dynamic-data root (Windows 95/98/Me adapter counters) and the
// local-machine root (the adapter list).
enum class StatsRoot { kDynData, kLocalMachine };

class StatsRegistryKey {
 public:
  virtual ~StatsRegistryKey() = default;
  // The value's bytes, read with their real length; empty when it cannot be read.
  virtual std::optional<std::string> Read(const std::string& name) = 0;
  // Whether the value exists, without fetching its data.
  virtual bool HasValue(const std::string& name) = 0;
  // Names of the direct subkeys, in the registry's order.
  virtual std::vector<std::string> SubkeyNames() = 0;
};

class StatsRegistry {
 public:
  virtual ~StatsRegistry() = default;
  // Opens `path` below `root` for reading; null when it cannot be opened.
  virtual std::unique_ptr<StatsRegistryKey> Open(StatsRoot root, const std::string& path) = 0;
};

// --- The RAS statistics call (NT 5 and later). The RAS component supplies it
// from the library it loads; empty result = the call failed.
struct RasStatsCounts {
  uint32_t bytesXmit = 0;
  uint32_t bytesRecv = 0;
  uint32_t bps = 0;
};
using RasStatsCall = std::function<std::optional<RasStatsCounts>(RasConnHandle)>;

// --- Performance data (NT 4): one query of the performance-data root.
inline constexpr uint32_t kPerfOk = 0;
inline constexpr uint32_t kPerfMoreData = 234;

struct PerfQueryResult {
  uint32_t status = kPerfOk;   // 0, 234 (buffer too small) or another error code
  std::vector<uint8_t> bytes;  // what the system returned when status is 0
};

class PerfDataSource {
 public:
  virtual ~PerfDataSource() = default;
  // Asks for the objects named by `objects` (title indexes as text) with a
  // buffer of `bufferSize` bytes.
  virtual PerfQueryResult Query(const std::string& objects, uint32_t bufferSize) = 0;
};

// --- Telephony (NT 4 line speed). One session runs from Initialize to Shutdown.
using TapiCallHandle = uint32_t;

class Telephony {
 public:
  virtual ~Telephony() = default;
  // Starts a session for application `appName`; the number of line devices, or
  // empty on failure.
  virtual std::optional<uint32_t> Initialize(const std::string& appName) = 0;
  // The negotiated API version of a line device, or empty.
  virtual std::optional<uint32_t> NegotiateApiVersion(uint32_t device, uint32_t low,
                                                      uint32_t high) = 0;
  // The line's name from its device capabilities, or empty.
  virtual std::optional<std::string> LineName(uint32_t device, uint32_t apiVersion) = 0;
  // Opens the line for monitoring and returns the calls it lists (possibly none);
  // empty when the line cannot be opened or its calls cannot be read.
  virtual std::optional<std::vector<TapiCallHandle>> NewCalls(uint32_t device,
                                                              uint32_t apiVersion) = 0;
  // The call's rate in bits per second, or empty when the call does not answer.
  virtual std::optional<uint32_t> CallRate(TapiCallHandle call) = 0;
  virtual void Shutdown() = 0;
};

// Lets window messages run during long statistics work. Returns false when the
// caller should stop at once (the program is quitting).
using StatisticsPump = std::function<bool()>;

}  // namespace tarnwick
