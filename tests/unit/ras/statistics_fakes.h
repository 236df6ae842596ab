#pragma once
// Scripted system sources for the statistics tests.
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "ras/statistics.h"

namespace tarnwick::testing {

// Registry roots as maps; every open and read is logged ("open dyn <path>",
// "read <name>", "has <name>").
class FakeStatsRegistry : public StatsRegistry {
 public:
  struct Key {
    std::map<std::string, std::string> values;
    std::vector<std::string> subkeys;
  };

  std::unique_ptr<StatsRegistryKey> Open(StatsRoot root, const std::string& path) override {
    const std::string where = (root == StatsRoot::kDynData ? "dyn " : "hklm ") + path;
    log.push_back("open " + where);
    auto it = keys.find(where);
    if (it == keys.end()) return nullptr;
    return std::make_unique<Handle>(it->second, log);
  }

  Key& DynKey(const std::string& path) { return keys["dyn " + path]; }
  Key& LocalKey(const std::string& path) { return keys["hklm " + path]; }
  void SetDword(const std::string& path, const std::string& name, uint32_t value) {
    std::string bytes(4, '\0');
    std::memcpy(bytes.data(), &value, 4);
    DynKey(path).values[name] = bytes;
  }

  std::map<std::string, Key> keys;
  std::vector<std::string> log;

 private:
  class Handle : public StatsRegistryKey {
   public:
    Handle(Key& key, std::vector<std::string>& log) : key_(key), log_(log) {}
    std::optional<std::string> Read(const std::string& name) override {
      log_.push_back("read " + name);
      auto it = key_.values.find(name);
      if (it == key_.values.end()) return std::nullopt;
      return it->second;
    }
    bool HasValue(const std::string& name) override {
      log_.push_back("has " + name);
      return key_.values.count(name) != 0;
    }
    std::vector<std::string> SubkeyNames() override { return key_.subkeys; }

   private:
    Key& key_;
    std::vector<std::string>& log_;
  };
};

// Answers queries from a script; the last answer repeats.
class FakePerfData : public PerfDataSource {
 public:
  PerfQueryResult Query(const std::string& objects, uint32_t bufferSize) override {
    queries.push_back({objects, bufferSize});
    PerfQueryResult answer = answers.front();
    if (answers.size() > 1) answers.pop_front();
    return answer;
  }
  struct Asked {
    std::string objects;
    uint32_t bufferSize;
  };
  std::deque<PerfQueryResult> answers{{kPerfOk, {}}};
  std::vector<Asked> queries;
};

// Telephony with named lines, their calls and the rates of calls. Calls listed
// in `staleCalls` stop answering (a call kept from a shut-down session).
class FakeTelephony : public Telephony {
 public:
  struct Line {
    std::string name;
    bool negotiates = true;
    std::vector<TapiCallHandle> calls;
  };

  std::optional<uint32_t> Initialize(const std::string& appName) override {
    log.push_back("init " + appName);
    if (!initializes) return std::nullopt;
    return static_cast<uint32_t>(lines.size());
  }
  std::optional<uint32_t> NegotiateApiVersion(uint32_t device, uint32_t low,
                                              uint32_t high) override {
    log.push_back("negotiate " + std::to_string(device));
    negotiatedRange = {low, high};
    if (!lines.at(device).negotiates) return std::nullopt;
    return high;
  }
  std::optional<std::string> LineName(uint32_t device, uint32_t) override {
    return lines.at(device).name;
  }
  std::optional<std::vector<TapiCallHandle>> NewCalls(uint32_t device, uint32_t) override {
    log.push_back("open " + std::to_string(device));
    return lines.at(device).calls;
  }
  std::optional<uint32_t> CallRate(TapiCallHandle call) override {
    log.push_back("rate " + std::to_string(call));
    auto it = rates.find(call);
    if (it == rates.end()) return std::nullopt;
    return it->second;
  }
  void Shutdown() override { log.push_back("shutdown"); }

  bool initializes = true;
  std::vector<Line> lines;
  std::map<TapiCallHandle, uint32_t> rates;
  std::pair<uint32_t, uint32_t> negotiatedRange{};
  std::vector<std::string> log;
};

}  // namespace tarnwick::testing
