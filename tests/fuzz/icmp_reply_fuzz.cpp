// The ICMP reply decoder over any datagram, and the echo request read back
// through it behind an IP header of the fuzzer's length.
#include <vector>

#include "fuzz/fuzz_support.h"
#include "app/error.h"
#include "net/icmp_packet.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const uint32_t tick = in.U32();
  const std::string bytes = in.Rest();
  if (bytes.empty()) return 0;
  // Exactly the datagram's bytes on the heap, so a read past them is caught.
  const std::vector<uint8_t> datagram(bytes.begin(), bytes.end());
  try {
    const net::TReplyStatus r = net::DecodeReply(datagram.data(), datagram.size(), tick);
    const size_t header = (datagram[0] & 0x0F) * 4u;
    FUZZ_CHECK(header >= 20 && datagram.size() >= header + 8);
    FUZZ_CHECK(r.bytes_received == static_cast<int>(datagram.size()));
    FUZZ_CHECK(r.msg_type == datagram[header] && r.status != net::ReplyStatus::kTimedOut);
    FUZZ_CHECK(r.from_address == std::to_string(datagram[12]) + "." + std::to_string(datagram[13]) +
                                     "." + std::to_string(datagram[14]) + "." +
                                     std::to_string(datagram[15]));
  } catch (const Error&) {
  }

  // Our own request, reflected: the checksum verifies and the decoder reads back
  // the sequence and the time it was sent.
  const uint16_t sequence = static_cast<uint16_t>(tick >> 16);
  const auto request = net::BuildEchoRequest(static_cast<uint16_t>(tick), sequence, tick);
  FUZZ_CHECK(net::InternetChecksum(request.data(), request.size()) == 0);
  const size_t header = 20 + (datagram[0] % 11) * 4;
  std::vector<uint8_t> reflected(header, 0);
  reflected[0] = static_cast<uint8_t>(0x40 | header / 4);
  reflected.insert(reflected.end(), request.begin(), request.end());
  const net::TReplyStatus r = net::DecodeReply(reflected.data(), reflected.size(), tick + 25);
  FUZZ_CHECK(r.sequence == sequence && r.elapsed_ms == 25 && r.status == net::ReplyStatus::kEcho);
  return 0;
}
