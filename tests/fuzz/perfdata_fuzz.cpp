// The performance-data walker over any block, with a message pump that asks to
// stop after a number of calls the fuzzer chooses. The walk ends, reads only the
// block and reports no more counters than the block can hold.
#include <vector>

#include "fuzz/fuzz_support.h"
#include "ras/perfdata_layout.h"
#include "ras/perfdata_walker.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const uint8_t stop_after = in.Byte();
  const std::string bytes = in.Rest();
  const std::vector<uint8_t> block(bytes.begin(), bytes.end());
  size_t pumps = 0, visits = 0;
  const auto status = WalkPerfCounters(
      block, [&](uint32_t, uint32_t) { ++visits; },
      [&] { return stop_after == 0 || ++pumps < stop_after; });
  // Every counter value is read from a counter block of at least a length field
  // and the value itself inside the block.
  FUZZ_CHECK(visits <= block.size() / perf::kCounterBlockSize * kPerfMaxCounters);
  if (status == PerfWalkStatus::kTooShort) FUZZ_CHECK(visits == 0 && block.size() < kPerfMinimumBlock);
  if (status == PerfWalkStatus::kStopped) FUZZ_CHECK(stop_after != 0 && pumps == stop_after);
  return 0;
}
