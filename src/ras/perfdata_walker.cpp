#include "ras/perfdata_walker.h"

#include <bit>
#include <cstring>
#include <vector>

#include "ras/perfdata_layout.h"

namespace tarnwick {

static_assert(std::endian::native == std::endian::little, "performance data is little-endian");

namespace {

using namespace perf;

struct CounterDef {
  uint32_t titleIndex;
  uint32_t size;
  uint32_t offset;
};

class Walker {
 public:
  Walker(std::span<const uint8_t> bytes, const PerfCounterVisitor& visit, const StatisticsPump& pump)
      : bytes_(bytes), visit_(visit), pump_(pump) {}

  PerfWalkStatus Run() {
    if (bytes_.size() < kPerfMinimumBlock) return PerfWalkStatus::kTooShort;
    static const uint8_t kSignature[8] = {'P', 0, 'E', 0, 'R', 0, 'F', 0};
    if (std::memcmp(bytes_.data() + kBlockSignature, kSignature, sizeof kSignature) != 0)
      return PerfWalkStatus::kMalformed;
    const uint64_t total = U32(kBlockTotalByteLength);
    const uint64_t header = U32(kBlockHeaderLength);
    const uint32_t objects = U32(kBlockNumObjectTypes);
    // A block longer than what arrived is truncated: nothing in it can be trusted.
    if (total > bytes_.size() || header < kBlockSize || header > total)
      return PerfWalkStatus::kMalformed;
    if (objects == 0) return PerfWalkStatus::kNoObjects;
    end_ = total;

    uint64_t pos = header;
    for (uint32_t i = 0; i < objects; ++i) {
      if (i > 0 && !Pump()) return PerfWalkStatus::kStopped;
      uint64_t length = 0;
      PerfWalkStatus status = Object(pos, length);
      if (status != PerfWalkStatus::kOk) return status;
      pos += length;  // length >= kObjSize, so the walk always advances
    }
    return PerfWalkStatus::kOk;
  }

 private:
  bool Fits(uint64_t pos, uint64_t length, uint64_t limit) const {
    return limit <= end_ && length <= limit && pos <= limit - length;
  }
  uint32_t U32(uint64_t pos) const {
    uint32_t value;
    std::memcpy(&value, bytes_.data() + pos, sizeof value);
    return value;
  }
  bool Pump() { return !pump_ || pump_(); }

  PerfWalkStatus Object(uint64_t pos, uint64_t& length) {
    if (!Fits(pos, kObjSize, end_)) return PerfWalkStatus::kMalformed;
    length = U32(pos + kObjTotalByteLength);
    const uint64_t definitionLength = U32(pos + kObjDefinitionLength);
    const uint64_t headerLength = U32(pos + kObjHeaderLength);
    const uint32_t numCounters = U32(pos + kObjNumCounters);
    const int32_t numInstances = static_cast<int32_t>(U32(pos + kObjNumInstances));
    if (headerLength < kObjSize || definitionLength < headerLength || length < definitionLength ||
        !Fits(pos, length, end_))
      return PerfWalkStatus::kMalformed;
    if (numCounters > kPerfMaxCounters) return PerfWalkStatus::kTooManyCounters;
    const uint64_t objectEnd = pos + length;
    const uint64_t definitionsEnd = pos + definitionLength;

    std::vector<CounterDef> defs;
    uint64_t def = pos + headerLength;
    for (uint32_t c = 0; c < numCounters; ++c) {
      if (!Fits(def, kDefSize, definitionsEnd)) return PerfWalkStatus::kMalformed;
      const uint64_t defLength = U32(def + kDefByteLength);
      if (defLength < kDefSize || !Fits(def, defLength, definitionsEnd))
        return PerfWalkStatus::kMalformed;
      defs.push_back({U32(def + kDefNameTitleIndex), U32(def + kDefCounterSize),
                      U32(def + kDefCounterOffset)});
      def += defLength;
      if (!Pump()) return PerfWalkStatus::kStopped;
    }

    if (numInstances == kNoInstances) return CounterBlock(definitionsEnd, objectEnd, defs, nullptr);
    if (numInstances < 0) return PerfWalkStatus::kMalformed;
    uint64_t instance = definitionsEnd;
    for (int32_t k = 0; k < numInstances; ++k) {
      if (!Fits(instance, kInstSize, objectEnd)) return PerfWalkStatus::kMalformed;
      const uint64_t instanceLength = U32(instance + kInstByteLength);
      if (instanceLength < kInstSize || !Fits(instance, instanceLength, objectEnd))
        return PerfWalkStatus::kMalformed;
      uint64_t blockLength = 0;
      PerfWalkStatus status =
          CounterBlock(instance + instanceLength, objectEnd, defs, &blockLength);
      if (status != PerfWalkStatus::kOk) return status;
      instance += instanceLength + blockLength;
    }
    return PerfWalkStatus::kOk;
  }

  PerfWalkStatus CounterBlock(uint64_t pos, uint64_t limit, const std::vector<CounterDef>& defs,
                              uint64_t* lengthOut) {
    if (!Fits(pos, kCounterBlockSize, limit)) return PerfWalkStatus::kMalformed;
    const uint64_t length = U32(pos + kCounterBlockByteLength);
    if (length < kCounterBlockSize || !Fits(pos, length, limit)) return PerfWalkStatus::kMalformed;
    if (lengthOut) *lengthOut = length;
    for (const CounterDef& d : defs) {
      // Only DWORD and QWORD counters carry byte counts; anything else, or a
      // value that would reach past its block, is not ours to read.
      if ((d.size != 4 && d.size != 8) || !Fits(pos + d.offset, d.size, pos + length)) continue;
      if (visit_) visit_(d.titleIndex, U32(pos + d.offset));
    }
    return PerfWalkStatus::kOk;
  }

  std::span<const uint8_t> bytes_;
  const PerfCounterVisitor& visit_;
  const StatisticsPump& pump_;
  uint64_t end_ = 0;
};

}  // namespace

PerfWalkStatus WalkPerfCounters(std::span<const uint8_t> block, const PerfCounterVisitor& visit,
                                const StatisticsPump& pump) {
  return Walker(block, visit, pump).Run();
}

}  // namespace tarnwick
