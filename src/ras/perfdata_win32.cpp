#include "ras/perfdata_win32.h"

#include <windows.h>
#include <winperf.h>

#include <cstddef>

#include "ras/perfdata_layout.h"

namespace tarnwick {

// The walker reads raw bytes at these offsets: keep them honest.
static_assert(offsetof(PERF_DATA_BLOCK, Signature) == perf::kBlockSignature);
static_assert(offsetof(PERF_DATA_BLOCK, TotalByteLength) == perf::kBlockTotalByteLength);
static_assert(offsetof(PERF_DATA_BLOCK, HeaderLength) == perf::kBlockHeaderLength);
static_assert(offsetof(PERF_DATA_BLOCK, NumObjectTypes) == perf::kBlockNumObjectTypes);
static_assert(sizeof(PERF_DATA_BLOCK) == perf::kBlockSize);
static_assert(offsetof(PERF_OBJECT_TYPE, TotalByteLength) == perf::kObjTotalByteLength);
static_assert(offsetof(PERF_OBJECT_TYPE, DefinitionLength) == perf::kObjDefinitionLength);
static_assert(offsetof(PERF_OBJECT_TYPE, HeaderLength) == perf::kObjHeaderLength);
static_assert(offsetof(PERF_OBJECT_TYPE, ObjectNameTitleIndex) == perf::kObjNameTitleIndex);
static_assert(offsetof(PERF_OBJECT_TYPE, NumCounters) == perf::kObjNumCounters);
static_assert(offsetof(PERF_OBJECT_TYPE, NumInstances) == perf::kObjNumInstances);
static_assert(sizeof(PERF_OBJECT_TYPE) == perf::kObjSize);
static_assert(PERF_NO_INSTANCES == perf::kNoInstances);
static_assert(offsetof(PERF_COUNTER_DEFINITION, ByteLength) == perf::kDefByteLength);
static_assert(offsetof(PERF_COUNTER_DEFINITION, CounterNameTitleIndex) == perf::kDefNameTitleIndex);
static_assert(offsetof(PERF_COUNTER_DEFINITION, CounterSize) == perf::kDefCounterSize);
static_assert(offsetof(PERF_COUNTER_DEFINITION, CounterOffset) == perf::kDefCounterOffset);
static_assert(sizeof(PERF_COUNTER_DEFINITION) == perf::kDefSize);
static_assert(offsetof(PERF_INSTANCE_DEFINITION, ByteLength) == perf::kInstByteLength);
static_assert(sizeof(PERF_INSTANCE_DEFINITION) == perf::kInstSize);
static_assert(sizeof(PERF_COUNTER_BLOCK) == perf::kCounterBlockSize);

Win32PerfData::~Win32PerfData() {
  if (used_) RegCloseKey(HKEY_PERFORMANCE_DATA);
}

PerfQueryResult Win32PerfData::Query(const std::string& objects, uint32_t bufferSize) {
  used_ = true;
  PerfQueryResult result;
  result.bytes.resize(bufferSize);
  DWORD size = bufferSize;
  DWORD type = 0;
  LONG rc = RegQueryValueExA(HKEY_PERFORMANCE_DATA, objects.c_str(), nullptr, &type,
                             result.bytes.data(), &size);
  result.status = static_cast<uint32_t>(rc);
  if (rc == ERROR_SUCCESS) {
    result.bytes.resize(size < bufferSize ? size : bufferSize);
  } else {
    result.bytes.clear();
  }
  return result;
}

}  // namespace tarnwick
