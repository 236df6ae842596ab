#pragma once
// Byte layouts of the performance-data block the system returns (the documented
// PERF_* structures of the 64-bit API), as offsets into little-endian bytes. The
// Win32 adapter checks them against the platform headers at compile time.
#include <cstddef>
#include <cstdint>

namespace tarnwick::perf {

// PERF_DATA_BLOCK
inline constexpr size_t kBlockSignature = 0;  // WCHAR[4], "PERF"
inline constexpr size_t kBlockTotalByteLength = 20;
inline constexpr size_t kBlockHeaderLength = 24;
inline constexpr size_t kBlockNumObjectTypes = 28;
inline constexpr size_t kBlockSize = 88;

// PERF_OBJECT_TYPE
inline constexpr size_t kObjTotalByteLength = 0;
inline constexpr size_t kObjDefinitionLength = 4;
inline constexpr size_t kObjHeaderLength = 8;
inline constexpr size_t kObjNameTitleIndex = 12;
inline constexpr size_t kObjNumCounters = 32;
inline constexpr size_t kObjNumInstances = 40;
inline constexpr size_t kObjSize = 64;
inline constexpr int32_t kNoInstances = -1;  // PERF_NO_INSTANCES

// PERF_COUNTER_DEFINITION
inline constexpr size_t kDefByteLength = 0;
inline constexpr size_t kDefNameTitleIndex = 4;
inline constexpr size_t kDefCounterSize = 32;
inline constexpr size_t kDefCounterOffset = 36;
inline constexpr size_t kDefSize = 40;

// PERF_INSTANCE_DEFINITION
inline constexpr size_t kInstByteLength = 0;
inline constexpr size_t kInstSize = 24;

// PERF_COUNTER_BLOCK
inline constexpr size_t kCounterBlockByteLength = 0;
inline constexpr size_t kCounterBlockSize = 4;

}  // namespace tarnwick::perf
