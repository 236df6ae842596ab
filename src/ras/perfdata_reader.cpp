#include "ras/perfdata_reader.h"

namespace tarnwick {

std::optional<std::vector<uint8_t>> ReadPerfData(PerfDataSource& source, const std::string& objects,
                                                 uint32_t& bufferSize) {
  if (bufferSize == 0) bufferSize = kPerfInitialBuffer;
  for (;;) {
    PerfQueryResult result = source.Query(objects, bufferSize);
    if (result.status == kPerfOk) return std::move(result.bytes);
    if (result.status != kPerfMoreData) return std::nullopt;
    if (bufferSize > kPerfMaxBuffer - kPerfBufferStep) return std::nullopt;
    bufferSize += kPerfBufferStep;
  }
}

}  // namespace tarnwick
