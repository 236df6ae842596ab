#pragma once
// Shared by the fuzz targets: a property check that stops the run (libFuzzer and
// the replay driver both treat an abort as a crash), and a reader that takes
// typed values off the front of the fuzzer's bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#define FUZZ_CHECK(cond)                                                          \
  do {                                                                            \
    if (!(cond)) {                                                                \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                               \
    }                                                                             \
  } while (0)

namespace tarnwick::fuzz {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool Empty() const { return pos_ >= size_; }
  size_t Left() const { return size_ - pos_; }

  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }

  uint32_t U32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t{Byte()} << (8 * i);
    return v;
  }

  // Up to `count` bytes (fewer at the end of the input).
  std::string Bytes(size_t count) {
    count = count < Left() ? count : Left();
    std::string out(reinterpret_cast<const char*>(data_ + pos_), count);
    pos_ += count;
    return out;
  }

  std::string Rest() { return Bytes(Left()); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace tarnwick::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
