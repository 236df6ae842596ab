#pragma once
// Turns fuzzer bytes into a scripted server: the first byte chooses how the
// server ends (close, silence, reset) and whether it pauses, the next four the
// sizes of the pieces the rest arrives in, so the fuzzer controls where reads
// split a line, a header or a chunk.
#include <memory>

#include "fuzz/fuzz_support.h"
#include "unit/net/http_fakes.h"

namespace tarnwick::fuzz {

struct ServerOutput {
  uint8_t flags = 0;
  uint8_t pieces[4] = {};
  std::string bytes;

  explicit ServerOutput(Input& in) : flags(in.Byte()) {
    for (uint8_t& p : pieces) p = in.Byte();
    bytes = in.Rest();
  }

  // A pause longer than a read's wait now and then: the reader must time out
  // cleanly, not hang or take the silence for the end of the reply.
  bool Pauses() const { return flags & 0x10; }

  // The bytes in the fuzzer's pieces, or (`whole`) all in one read.
  std::shared_ptr<net::testing::ServerScript> Script(bool whole = false) const {
    auto script = std::make_shared<net::testing::ServerScript>();
    size_t at = 0;
    for (size_t i = 0; at < bytes.size(); ++i) {
      const size_t n = whole ? bytes.size() : pieces[i % 4] % 64 + 1;
      script->Send(bytes.substr(at, n), !whole && Pauses() && i % 7 == 3 ? 70000 : 0);
      at += n;
    }
    switch (flags & 3) {
      case 0:
      case 1:
        script->Close();
        break;
      case 2:
        script->Fail();
        break;
      default:
        break;  // silent until the reads time out
    }
    return script;
  }
};

}  // namespace tarnwick::fuzz
