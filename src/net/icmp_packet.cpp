#include "net/icmp_packet.h"

#include "app/error.h"

namespace tarnwick::net {
namespace {

void Put16(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
  Put16(at, static_cast<uint16_t>(value));
  Put16(at + 2, static_cast<uint16_t>(value >> 16));
}

}  // namespace

uint16_t InternetChecksum(const uint8_t* data, size_t size) {
  uint32_t sum = 0;
  size_t i = 0;
  for (; i + 1 < size; i += 2) sum += data[i] | data[i + 1] << 8;
  if (i < size) sum += data[i];
  sum = (sum >> 16) + (sum & 0xFFFF);
  sum += sum >> 16;
  return static_cast<uint16_t>(~sum);
}

std::array<uint8_t, kEchoRequestSize> BuildEchoRequest(uint16_t identifier, uint16_t sequence,
                                                       uint32_t tick_count) {
  std::array<uint8_t, kEchoRequestSize> packet{};
  packet[0] = kIcmpEchoRequest;
  Put16(&packet[4], identifier);
  Put16(&packet[6], sequence);
  Put32(&packet[8], tick_count);
  for (size_t i = 20; i < kEchoRequestSize; ++i) packet[i] = kEchoPayloadByte;
  Put16(&packet[2], InternetChecksum(packet.data(), packet.size()));
  return packet;
}

TReplyStatus DecodeReply(const uint8_t* data, size_t size, uint32_t tick_count) {
  // The IP header must at least hold the fields read below (20 bytes).
  size_t header = size == 0 ? 0 : static_cast<size_t>(data[0] & 0x0F) * 4;
  if (header < 20 || size < header + 8) throw Error("Not enough bytes received");
  const uint8_t* icmp = data + header;
  // Bytes past the datagram read as the zeroed receive buffer would.
  auto at = [&](size_t offset) -> uint32_t { return header + offset < size ? icmp[offset] : 0; };

  TReplyStatus reply;
  switch (icmp[0]) {
    case kIcmpEchoReply:
    case kIcmpEchoRequest:
      reply.status = ReplyStatus::kEcho;
      break;
    case kIcmpDestinationUnreachable:
      reply.status = ReplyStatus::kUnreachable;
      break;
    case kIcmpTimeExceeded:
      reply.status = ReplyStatus::kTtlExceeded;
      break;
    default:
      throw Error("Non-echo type response received");
  }
  reply.bytes_received = static_cast<int>(size);
  reply.from_address = std::to_string(data[12]) + "." + std::to_string(data[13]) + "." +
                       std::to_string(data[14]) + "." + std::to_string(data[15]);
  reply.msg_type = icmp[0];
  reply.sequence = static_cast<uint16_t>(at(6) | at(7) << 8);
  uint32_t stamp = at(8) | at(9) << 8 | at(10) << 16 | at(11) << 24;
  reply.elapsed_ms = tick_count - stamp;
  reply.time_to_live = data[8];
  return reply;
}

TReplyStatus TimedOutReply(uint16_t sequence) {
  TReplyStatus reply;
  reply.sequence = sequence;
  return reply;
}

}  // namespace tarnwick::net
