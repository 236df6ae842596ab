#include "net/icmp_fallback_win32.h"

// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>
// clang-format on

#include <cstring>
#include <vector>

#include "app/system_error.h"
#include "net/sliced_wait.h"
#include "net/transport.h"

namespace tarnwick::net {
namespace {

constexpr size_t kIcmpHeaderSize = 8;
constexpr size_t kIpHeaderSize = 20;
// The helper signals its event once its own time-out has passed; this much more
// is allowed before the wait gives up on it.
constexpr int kHelperGraceMs = 1000;

[[noreturn]] void ThrowIcmpError(DWORD code) {
  throw SocketError(static_cast<int>(code), SystemErrorText(code));
}

// The ICMP type a raw socket would have seen for a helper status; -1 for none.
int TypeOfStatus(DWORD status) {
  switch (status) {
    case IP_SUCCESS:
      return kIcmpEchoReply;
    case IP_DEST_NET_UNREACHABLE:
    case IP_DEST_HOST_UNREACHABLE:
    case IP_DEST_PROT_UNREACHABLE:
    case IP_DEST_PORT_UNREACHABLE:
    case IP_DEST_UNREACHABLE:
      return kIcmpDestinationUnreachable;
    case IP_TTL_EXPIRED_TRANSIT:
    case IP_TTL_EXPIRED_REASSEM:
      return kIcmpTimeExceeded;
    default:
      return -1;
  }
}

// One request in flight. The helper writes its answer into `reply` whenever it
// completes, so the record must outlive the request (see HelperSocket::Receive).
struct Exchange {
  HANDLE file = INVALID_HANDLE_VALUE;
  HANDLE event = nullptr;
  std::vector<uint8_t> reply;
  ~Exchange() {
    if (event) CloseHandle(event);
    if (file != INVALID_HANDLE_VALUE) IcmpCloseHandle(file);
  }
};

class HelperSocket : public IcmpSocket {
 public:
  HelperSocket(int ttl, const std::function<void()>& pump, const std::function<bool()>& quitting)
      : ttl_(ttl), pump_(pump), quitting_(quitting) {}

  // Keeps the request; the helper sends it and awaits the answer in one call,
  // which needs the receive time-out, so the exchange happens in Receive.
  void SendTo(const std::string& address, const uint8_t* data, size_t size) override {
    in_addr to{};
    if (inet_pton(AF_INET, address.c_str(), &to) != 1) ThrowIcmpError(WSAEINVAL);
    if (size < kIcmpHeaderSize) ThrowIcmpError(WSAEINVAL);
    destination_ = to.s_addr;
    request_.assign(data, data + size);
  }

  size_t Receive(uint8_t* buffer, size_t size, int timeout_ms) override {
    if (request_.empty()) ThrowIcmpError(WSAENOTCONN);
    auto exchange = std::make_unique<Exchange>();
    exchange->file = IcmpCreateFile();
    if (exchange->file == INVALID_HANDLE_VALUE) ThrowIcmpError(GetLastError());
    exchange->event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!exchange->event) ThrowIcmpError(GetLastError());
    const WORD payload_size = static_cast<WORD>(request_.size() - kIcmpHeaderSize);
    // Room for one answer with its data, an ICMP error's 8 bytes and the status block.
    exchange->reply.resize(sizeof(ICMP_ECHO_REPLY) + payload_size + 8 + 64);
    IP_OPTION_INFORMATION options{};
    options.Ttl = static_cast<UCHAR>(ttl_);
    const DWORD timeout = timeout_ms > 0 ? static_cast<DWORD>(timeout_ms) : 1;

    DWORD answers =
        IcmpSendEcho2(exchange->file, exchange->event, nullptr, nullptr, destination_,
                      request_.data() + kIcmpHeaderSize, payload_size, &options,
                      exchange->reply.data(), static_cast<DWORD>(exchange->reply.size()), timeout);
    if (answers == 0) {
      const DWORD error = GetLastError();
      if (error == IP_REQ_TIMED_OUT) return 0;
      if (error != ERROR_IO_PENDING) ThrowIcmpError(error);
      if (!AwaitAnswer(*exchange, static_cast<int>(timeout))) {
        // Not answered even after the helper's own time-out: it may still write
        // into the record, which therefore stays allocated.
        exchange.release();
        return 0;
      }
      answers =
          IcmpParseReplies(exchange->reply.data(), static_cast<DWORD>(exchange->reply.size()));
    }
    DWORD status = IP_REQ_TIMED_OUT;
    const ICMP_ECHO_REPLY* reply = nullptr;
    if (answers > 0) {
      reply = reinterpret_cast<const ICMP_ECHO_REPLY*>(exchange->reply.data());
      status = reply->Status;
    } else if (GetLastError() != 0) {
      status = GetLastError();
    }
    if (status == IP_REQ_TIMED_OUT) return 0;
    const int type = TypeOfStatus(status);
    if (type < 0) ThrowIcmpError(status);
    return Datagram(static_cast<uint8_t>(type), reply, buffer, size);
  }

 private:
  // Waits for the helper's event with message processing between slices. When
  // the program quits, the rest is awaited without processing messages, so the
  // record is not freed under the helper.
  bool AwaitAnswer(const Exchange& exchange, int timeout_ms) {
    SlicedWait wait;
    wait.now_ms = [] { return static_cast<uint64_t>(GetTickCount64()); };
    wait.ready = [&exchange](int slice_ms) {
      return WaitForSingleObject(exchange.event, static_cast<DWORD>(slice_ms)) == WAIT_OBJECT_0;
    };
    wait.pump = pump_;
    wait.quitting = quitting_;
    const uint64_t start = GetTickCount64();
    if (WaitInSlices(wait, timeout_ms + kHelperGraceMs)) return true;
    const uint64_t spent = GetTickCount64() - start;
    const uint64_t limit = static_cast<uint64_t>(timeout_ms + kHelperGraceMs);
    const DWORD rest = spent < limit ? static_cast<DWORD>(limit - spent) : 0;
    return WaitForSingleObject(exchange.event, rest) == WAIT_OBJECT_0;
  }

  // The datagram a raw socket would have read: an IPv4 header with the answer's
  // source and time to live, then the ICMP part carrying the request's
  // identifier, sequence number and the echoed data (our time stamp first).
  size_t Datagram(uint8_t type, const ICMP_ECHO_REPLY* reply, uint8_t* buffer, size_t size) const {
    std::vector<uint8_t> d(kIpHeaderSize + kIcmpHeaderSize, 0);
    d[0] = 0x45;
    d[9] = 1;  // protocol ICMP
    if (reply) {
      d[8] = reply->Options.Ttl;
      std::memcpy(&d[12], &reply->Address, 4);
    }
    uint8_t* icmp = d.data() + kIpHeaderSize;
    icmp[0] = type;
    std::memcpy(icmp + 4, request_.data() + 4, 4);
    if (type == kIcmpEchoReply && reply && reply->Data && reply->DataSize > 0) {
      const auto* data = static_cast<const uint8_t*>(reply->Data);
      d.insert(d.end(), data, data + reply->DataSize);
    } else {
      d.insert(d.end(), request_.begin() + kIcmpHeaderSize, request_.end());
    }
    const size_t n = d.size() < size ? d.size() : size;
    std::memcpy(buffer, d.data(), n);
    return n;
  }

  int ttl_;
  std::function<void()> pump_;
  std::function<bool()> quitting_;
  IPAddr destination_ = 0;
  std::vector<uint8_t> request_;
};

}  // namespace

IcmpFallbackNetwork::IcmpFallbackNetwork(IcmpNetwork& raw, std::function<void()> pump,
                                         std::function<bool()> quitting)
    : raw_(raw), pump_(std::move(pump)), quitting_(std::move(quitting)) {}

std::unique_ptr<IcmpSocket> IcmpFallbackNetwork::OpenRawSocket(int ttl) {
  try {
    return raw_.OpenRawSocket(ttl);
  } catch (const SocketError&) {
    // Refused (no administrator rights) or not supported: the helper needs neither.
  }
  ++helper_exchanges_;
  return std::make_unique<HelperSocket>(ttl, pump_, quitting_);
}

}  // namespace tarnwick::net
