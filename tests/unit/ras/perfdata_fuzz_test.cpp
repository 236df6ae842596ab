// Randomized inputs for the performance-data walker: mutated real-looking blocks
// and noise behind a valid header. Meant for the sanitizer build, where any read
// past the input is fatal; every input is an exact-size heap copy.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>

#include "perfdata_builder.h"
#include "ras/perfdata_walker.h"

namespace tarnwick {
namespace {

using testing::PerfBlockBuilder;
using testing::PerfObjectSpec;

std::vector<uint8_t> RandomValidBlock(std::mt19937& rng) {
  std::uniform_int_distribution<int> small(0, 4);
  std::vector<PerfObjectSpec> objects(1 + small(rng));
  for (PerfObjectSpec& o : objects) {
    o.instances = small(rng) != 0;
    const int counters = small(rng) * 2;
    for (int c = 0; c < counters; ++c)
      o.counters.push_back({872 + static_cast<uint32_t>(c), c % 3 == 2 ? 8u : 4u});
    const int instances = o.instances ? small(rng) : 1;
    for (int i = 0; i < instances; ++i) {
      std::vector<uint64_t> values;
      for (int c = 0; c < counters; ++c) values.push_back(rng());
      o.values.push_back(values);
    }
  }
  return PerfBlockBuilder().Build(objects);
}

void Mutate(std::vector<uint8_t>& b, std::mt19937& rng) {
  const uint32_t interesting[] = {0,
                                  1,
                                  3,
                                  4,
                                  8,
                                  24,
                                  40,
                                  64,
                                  88,
                                  0x7FFFFFFF,
                                  0x80000000,
                                  0xFFFFFFFF,
                                  0xFFFFFFFE,
                                  static_cast<uint32_t>(b.size()),
                                  static_cast<uint32_t>(b.size() + 1)};
  const int edits = 1 + static_cast<int>(rng() % 4);
  for (int e = 0; e < edits && b.size() >= 4; ++e) {
    switch (rng() % 4) {
      case 0:  // one DWORD-aligned field set to a boundary value
        PerfBlockBuilder::Put32(b, (rng() % (b.size() / 4)) * 4,
                                interesting[rng() % std::size(interesting)]);
        break;
      case 1:  // a random byte
        b[rng() % b.size()] = static_cast<uint8_t>(rng());
        break;
      case 2:  // truncation, header left as it was or made to agree
        b.resize(rng() % b.size());
        if (b.size() >= perf::kBlockSize && rng() % 2)
          PerfBlockBuilder::Put32(b, perf::kBlockTotalByteLength, static_cast<uint32_t>(b.size()));
        break;
      default:  // a stretch of noise
        for (size_t i = rng() % b.size(), n = rng() % 64; n > 0 && i < b.size(); --n, ++i)
          b[i] = static_cast<uint8_t>(rng());
        break;
    }
  }
}

TEST(PerfWalkerFuzz, RandomBlocksNeverReadOutsideOrLoop) {
  std::mt19937 rng(20240611);
  constexpr int kInputs = 50000;
  int ok = 0, refused = 0;
  for (int n = 0; n < kInputs; ++n) {
    std::vector<uint8_t> block = RandomValidBlock(rng);
    if (n % 10 == 9) {
      // Noise with a believable header in front.
      std::vector<uint8_t> noise(perf::kBlockSize + rng() % 2048);
      for (uint8_t& byte : noise) byte = static_cast<uint8_t>(rng());
      std::copy(block.begin(), block.begin() + perf::kBlockSize, noise.begin());
      PerfBlockBuilder::Put32(noise, perf::kBlockTotalByteLength,
                              static_cast<uint32_t>(noise.size()));
      block = std::move(noise);
    } else if (n % 10 != 0) {
      Mutate(block, rng);
    }
    std::unique_ptr<uint8_t[]> exact(new uint8_t[block.size()]);
    std::copy(block.begin(), block.end(), exact.get());
    size_t visits = 0, pumps = 0;
    PerfWalkStatus status = WalkPerfCounters(
        {exact.get(), block.size()}, [&](uint32_t, uint32_t) { ++visits; },
        [&] {
          ++pumps;
          return true;
        });
    // Each visit reads a counter inside a block of at least 4 bytes, each pump
    // follows a 40-byte definition or a 64-byte object: the work is bounded by
    // the input size.
    ASSERT_LE(visits, block.size() / 4 * kPerfMaxCounters) << n;
    ASSERT_LE(pumps, block.size() / 40 + 1) << n;
    (status == PerfWalkStatus::kOk ? ok : refused)++;
  }
  std::printf("perf walker: %d random inputs, %d walked, %d refused\n", kInputs, ok, refused);
  EXPECT_GT(ok, kInputs / 20);  // the inputs reach the deep paths, not only the header
  EXPECT_GT(refused, kInputs / 20);
}

}  // namespace
}  // namespace tarnwick
