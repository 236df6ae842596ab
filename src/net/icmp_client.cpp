#include "net/icmp_client.h"

#include "app/error.h"
#include "app/text_utils.h"
#include "net/url_split.h"

namespace tarnwick::net {

std::string IcmpClient::ResolveTarget() {
  // An empty name would resolve to this machine on Windows; it is a missing setting.
  if (host.empty()) throw Error("No host to ping");
  if (ToLowerAscii(host) == "localhost") return "127.0.0.1";
  if (IsDottedIPv4(host)) return host;
  return network_.ResolveHost(host);
}

void IcmpClient::Ping() {
  auto request = BuildEchoRequest(static_cast<uint16_t>(network_.ProcessId()), sequence_,
                                  network_.TickCount());
  ++sequence_;

  std::unique_ptr<IcmpSocket> socket = network_.OpenRawSocket(kIcmpTimeToLive);
  socket->SendTo(ResolveTarget(), request.data(), request.size());

  uint8_t buffer[kIcmpBufferSize] = {};
  size_t received = socket->Receive(buffer, sizeof buffer, receive_timeout_ms);
  TReplyStatus reply = received == 0 ? TimedOutReply(sequence_)
                                     : DecodeReply(buffer, received, network_.TickCount());
  if (OnReply) OnReply(reply);
}

}  // namespace tarnwick::net
