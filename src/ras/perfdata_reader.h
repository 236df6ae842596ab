#pragma once
// Reads performance data with a buffer that grows while the system says it is
// too small. The size is the caller's to keep: it is process-wide state, so the
// next read starts at the size that sufficed last time.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ras/statistics_sources.h"

namespace tarnwick {

inline constexpr uint32_t kPerfInitialBuffer = 8192;
inline constexpr uint32_t kPerfBufferStep = 1024;
// The RAS objects of even a large server are a few tens of kilobytes; a source
// that keeps asking for more past this is not going to be satisfied.
inline constexpr uint32_t kPerfMaxBuffer = 1024 * 1024;

// The bytes of the answer, or empty when the query failed or the buffer would
// have to grow past kPerfMaxBuffer. `bufferSize` is grown in place.
std::optional<std::vector<uint8_t>> ReadPerfData(PerfDataSource& source, const std::string& objects,
                                                 uint32_t& bufferSize);

}  // namespace tarnwick
