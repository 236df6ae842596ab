#pragma once
// Builds performance-data blocks byte by byte, laid out as the system lays them
// out, so tests can craft both real answers and broken ones.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ras/perfdata_layout.h"

namespace tarnwick::testing {

struct PerfCounterSpec {
  uint32_t titleIndex;
  uint32_t size = 4;  // 4 or 8 in real data
};

struct PerfObjectSpec {
  uint32_t titleIndex = 906;
  std::vector<PerfCounterSpec> counters;
  // One entry per instance; each holds the values of all counters. With
  // `instances` false the object has a single counter block (values[0]).
  bool instances = true;
  std::vector<std::vector<uint64_t>> values;
};

class PerfBlockBuilder {
 public:
  static void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    if (b.size() < at + 4) b.resize(at + 4);
    std::memcpy(b.data() + at, &v, 4);
  }
  static uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
  }

  std::vector<uint8_t> Build(const std::vector<PerfObjectSpec>& objects) {
    using namespace perf;
    std::vector<uint8_t> b(kBlockSize, 0);
    const char sig[8] = {'P', 0, 'E', 0, 'R', 0, 'F', 0};
    std::memcpy(b.data(), sig, 8);
    Put32(b, kBlockHeaderLength, kBlockSize);
    Put32(b, kBlockNumObjectTypes, static_cast<uint32_t>(objects.size()));
    objectOffsets.clear();
    for (const PerfObjectSpec& o : objects) AppendObject(b, o);
    Put32(b, kBlockTotalByteLength, static_cast<uint32_t>(b.size()));
    return b;
  }

  // Offsets of what the last Build wrote, for tests that break one field.
  std::vector<size_t> objectOffsets;
  std::vector<size_t> definitionOffsets;
  std::vector<size_t> instanceOffsets;
  std::vector<size_t> counterBlockOffsets;

 private:
  void AppendObject(std::vector<uint8_t>& b, const PerfObjectSpec& o) {
    using namespace perf;
    const size_t obj = b.size();
    objectOffsets.push_back(obj);
    b.resize(obj + kObjSize, 0);
    Put32(b, obj + kObjHeaderLength, kObjSize);
    Put32(b, obj + kObjNameTitleIndex, o.titleIndex);
    Put32(b, obj + kObjNumCounters, static_cast<uint32_t>(o.counters.size()));
    // Counter data follows the 4-byte block header, each counter at its size.
    std::vector<uint32_t> offsets;
    uint32_t dataLength = kCounterBlockSize;
    for (const PerfCounterSpec& c : o.counters) {
      const size_t def = b.size();
      definitionOffsets.push_back(def);
      b.resize(def + kDefSize, 0);
      Put32(b, def + kDefByteLength, kDefSize);
      Put32(b, def + kDefNameTitleIndex, c.titleIndex);
      Put32(b, def + kDefCounterSize, c.size);
      Put32(b, def + kDefCounterOffset, dataLength);
      offsets.push_back(dataLength);
      dataLength += c.size;
    }
    dataLength = (dataLength + 7) / 8 * 8;
    Put32(b, obj + kObjDefinitionLength, static_cast<uint32_t>(b.size() - obj));
    Put32(b, obj + kObjNumInstances,
          o.instances ? static_cast<uint32_t>(o.values.size()) : static_cast<uint32_t>(-1));
    for (size_t i = 0; i < o.values.size(); ++i) {
      if (o.instances) {
        const size_t inst = b.size();
        instanceOffsets.push_back(inst);
        b.resize(inst + kInstSize + 8, 0);  // header plus a short name
        Put32(b, inst + kInstByteLength, kInstSize + 8);
      }
      const size_t block = b.size();
      counterBlockOffsets.push_back(block);
      b.resize(block + dataLength, 0);
      Put32(b, block + kCounterBlockByteLength, dataLength);
      for (size_t c = 0; c < o.counters.size(); ++c) {
        const uint64_t v = o.values[i].at(c);
        std::memcpy(b.data() + block + offsets[c], &v, o.counters[c].size);
      }
      if (!o.instances) break;
    }
    Put32(b, obj + kObjTotalByteLength, static_cast<uint32_t>(b.size() - obj));
  }
};

}  // namespace tarnwick::testing
