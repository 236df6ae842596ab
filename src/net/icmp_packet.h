#pragma once
// The ICMP echo exchange on the wire: the 52-byte request and the decoding of
// whatever datagram the raw socket hands back (IP header included). Multi-byte
// fields are in host (little-endian) order, which puts the checksum on the wire
// correctly.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tarnwick::net {

inline constexpr size_t kEchoRequestSize = 52;
inline constexpr size_t kIcmpBufferSize = 1024;
inline constexpr uint8_t kEchoPayloadByte = 0x45;

enum IcmpType : uint8_t {
  kIcmpEchoReply = 0,
  kIcmpDestinationUnreachable = 3,
  kIcmpEchoRequest = 8,
  kIcmpTimeExceeded = 11,
};

enum class ReplyStatus : uint8_t {
  kEcho = 0,
  kError = 1,  // never handed out: an unexpected datagram raises instead
  kTimedOut = 2,
  kUnreachable = 3,
  kTtlExceeded = 4,
};

// What one exchange yields (handed to the client's OnReply).
struct TReplyStatus {
  int bytes_received = 0;                // IP header included; 0 on time-out
  std::string from_address = "0.0.0.0";  // IP header bytes 12..15
  uint8_t msg_type = 0;                  // ICMP type
  uint16_t sequence = 0;                 // ICMP bytes 6..7
  uint32_t elapsed_ms = 0;               // tick now minus ICMP bytes 8..11; 0 on time-out
  uint8_t time_to_live = 0;              // IP header byte 8
  ReplyStatus status = ReplyStatus::kTimedOut;
  bool operator==(const TReplyStatus&) const = default;
};

// RFC 1071 over 16-bit words read in host order; an odd last byte counts as the
// low byte of a word.
uint16_t InternetChecksum(const uint8_t* data, size_t size);

// Type 8, code 0, checksum, identifier, sequence, originate tick, 8 zero bytes,
// 32 bytes of 0x45.
std::array<uint8_t, kEchoRequestSize> BuildEchoRequest(uint16_t identifier, uint16_t sequence,
                                                       uint32_t tick_count);

// Decodes a received datagram of `size` (> 0) bytes. Throws Error "Not enough
// bytes received" when it is shorter than its IP header plus 8, and "Non-echo
// type response received" for ICMP types other than 0, 3, 8 and 11.
TReplyStatus DecodeReply(const uint8_t* data, size_t size, uint32_t tick_count);

// The record of an exchange that received nothing within the time-out.
TReplyStatus TimedOutReply(uint16_t sequence);

}  // namespace tarnwick::net
