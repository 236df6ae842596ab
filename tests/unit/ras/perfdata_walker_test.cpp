#include "ras/perfdata_walker.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "perfdata_builder.h"

namespace tarnwick {
namespace {

using testing::PerfBlockBuilder;
using testing::PerfObjectSpec;

struct Seen {
  std::vector<std::pair<uint32_t, uint32_t>> values;
  int pumps = 0;
};

// Walks a copy of exactly `bytes.size()` bytes on the heap, so the sanitizers
// see any read past the end.
PerfWalkStatus Walk(const std::vector<uint8_t>& bytes, Seen& seen, int stopAfterPumps = -1) {
  std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size()]);
  std::copy(bytes.begin(), bytes.end(), exact.get());
  PerfCounterVisitor visit = [&](uint32_t index, uint32_t value) {
    seen.values.emplace_back(index, value);
  };
  StatisticsPump pump = [&] { return ++seen.pumps != stopAfterPumps; };
  return WalkPerfCounters({exact.get(), bytes.size()}, visit, pump);
}

PerfObjectSpec RasPorts() {
  PerfObjectSpec o;
  o.counters = {{872}, {873}, {874}};
  o.values = {{100, 1, 200}, {300, 2, 50}};
  return o;
}

TEST(PerfWalker, ReportsEveryCounterOfEveryInstanceAndPumpsBetweenSteps) {
  PerfObjectSpec total;
  total.titleIndex = 908;
  total.instances = false;
  total.counters = {{872}, {874, 8}};
  total.values = {{7, 0x100000009ull}};
  Seen seen;
  EXPECT_EQ(Walk(PerfBlockBuilder().Build({RasPorts(), total}), seen), PerfWalkStatus::kOk);
  const std::vector<std::pair<uint32_t, uint32_t>> expected = {
      {872, 100}, {873, 1},  {874, 200}, {872, 300},
      {873, 2},   {874, 50}, {872, 7},   {874, 9}};  // a 64-bit counter reports its low half
  EXPECT_EQ(seen.values, expected);
  EXPECT_EQ(seen.pumps, 3 + 1 + 2);  // definitions of both objects, one between objects
}

TEST(PerfWalker, ObjectWithZeroInstancesHasNoCounterBlock) {
  PerfObjectSpec o = RasPorts();
  o.values.clear();
  Seen seen;
  EXPECT_EQ(Walk(PerfBlockBuilder().Build({o}), seen), PerfWalkStatus::kOk);
  EXPECT_TRUE(seen.values.empty());
}

TEST(PerfWalker, RefusesShortEmptyAndForeignBlocks) {
  Seen seen;
  std::vector<uint8_t> block = PerfBlockBuilder().Build({RasPorts()});
  EXPECT_EQ(Walk(std::vector<uint8_t>(block.begin(), block.begin() + 99), seen),
            PerfWalkStatus::kTooShort);
  EXPECT_EQ(Walk({}, seen), PerfWalkStatus::kTooShort);

  std::vector<uint8_t> none = PerfBlockBuilder().Build({});
  none.resize(120, 0);
  PerfBlockBuilder::Put32(none, perf::kBlockTotalByteLength, 120);
  EXPECT_EQ(Walk(none, seen), PerfWalkStatus::kNoObjects);

  std::vector<uint8_t> foreign = block;
  foreign[0] = 'X';
  EXPECT_EQ(Walk(foreign, seen), PerfWalkStatus::kMalformed);
  EXPECT_TRUE(seen.values.empty());
}

TEST(PerfWalker, TruncatedBlocksAreRefusedWhateverTheirHeadersClaim) {
  const std::vector<uint8_t> full = PerfBlockBuilder().Build({RasPorts(), RasPorts()});
  for (size_t n = kPerfMinimumBlock; n < full.size(); ++n) {
    std::vector<uint8_t> cut(full.begin(), full.begin() + n);
    Seen seen;
    // As delivered: the header claims more than arrived.
    EXPECT_EQ(Walk(cut, seen), PerfWalkStatus::kMalformed) << n;
    EXPECT_TRUE(seen.values.empty());
    // Header rewritten to match the cut: inner lengths now reach past the end.
    PerfBlockBuilder::Put32(cut, perf::kBlockTotalByteLength, static_cast<uint32_t>(n));
    EXPECT_NE(Walk(cut, seen), PerfWalkStatus::kOk) << n;
  }
}

// Each case breaks one field of a valid block; none may be read past or loop.
TEST(PerfWalker, LyingLengthsAndOffsetsAreMalformed) {
  PerfBlockBuilder builder;
  const std::vector<uint8_t> good = builder.Build({RasPorts()});
  const size_t obj = builder.objectOffsets[0];
  const size_t def = builder.definitionOffsets[0];
  const size_t inst = builder.instanceOffsets[0];
  const size_t block = builder.counterBlockOffsets[0];
  struct Case {
    const char* what;
    size_t at;
    uint32_t value;
  } cases[] = {
      {"block header past the end", perf::kBlockHeaderLength, 0x7FFFFFFF},
      {"block header shorter than itself", perf::kBlockHeaderLength, 8},
      {"object of length zero", obj + perf::kObjTotalByteLength, 0},
      {"object longer than the block", obj + perf::kObjTotalByteLength, 0xFFFFFFF0},
      {"object header too short", obj + perf::kObjHeaderLength, 4},
      {"definitions past the object", obj + perf::kObjDefinitionLength, 0xFFFFFF00},
      {"definition of length zero", def + perf::kDefByteLength, 0},
      {"definition past its area", def + perf::kDefByteLength, 0x10000},
      {"instance of length zero", inst + perf::kInstByteLength, 0},
      {"instance past the object", inst + perf::kInstByteLength, 0xFFFFFFFF},
      {"counter block of length zero", block + perf::kCounterBlockByteLength, 0},
      {"counter block past the object", block + perf::kCounterBlockByteLength, 0x80000000},
      {"more instances than present", obj + perf::kObjNumInstances, 0x7FFFFFFF},
      {"negative instance count", obj + perf::kObjNumInstances, 0x80000000},
      {"more objects than present", perf::kBlockNumObjectTypes, 0xFFFFFFFF},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bad = good;
    PerfBlockBuilder::Put32(bad, c.at, c.value);
    Seen seen;
    EXPECT_EQ(Walk(bad, seen), PerfWalkStatus::kMalformed) << c.what;
    EXPECT_LE(seen.values.size(), 6u) << c.what;
  }
}

TEST(PerfWalker, CountersThatDoNotFitTheirBlockAreSkipped) {
  PerfBlockBuilder builder;
  std::vector<uint8_t> block = builder.Build({RasPorts()});
  // 872 points outside its block, 873 has an impossible size: only 874 counts.
  PerfBlockBuilder::Put32(block, builder.definitionOffsets[0] + perf::kDefCounterOffset,
                          0xFFFFFFFC);
  PerfBlockBuilder::Put32(block, builder.definitionOffsets[1] + perf::kDefCounterSize, 3);
  Seen seen;
  EXPECT_EQ(Walk(block, seen), PerfWalkStatus::kOk);
  const std::vector<std::pair<uint32_t, uint32_t>> expected = {{874, 200}, {874, 50}};
  EXPECT_EQ(seen.values, expected);
}

TEST(PerfWalker, AtMostFiftyCounterDefinitions) {
  PerfObjectSpec o;
  o.instances = false;
  for (uint32_t i = 0; i < 50; ++i) o.counters.push_back({1000 + i});
  o.values = {std::vector<uint64_t>(50, 5)};
  Seen seen;
  EXPECT_EQ(Walk(PerfBlockBuilder().Build({o}), seen), PerfWalkStatus::kOk);
  EXPECT_EQ(seen.values.size(), 50u);

  o.counters.push_back({2000});
  o.values[0].push_back(5);
  Seen refused;
  EXPECT_EQ(Walk(PerfBlockBuilder().Build({o}), refused), PerfWalkStatus::kTooManyCounters);
  EXPECT_EQ(refused.pumps, 0);
}

TEST(PerfWalker, StopsAtOnceWhenThePumpSaysSo) {
  Seen seen;
  EXPECT_EQ(Walk(PerfBlockBuilder().Build({RasPorts(), RasPorts()}), seen, 2),
            PerfWalkStatus::kStopped);
  EXPECT_EQ(seen.pumps, 2);
  EXPECT_TRUE(seen.values.empty());
}

}  // namespace
}  // namespace tarnwick
