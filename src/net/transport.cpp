#include "net/transport.h"

namespace tarnwick::net {

SocketError::SocketError(int code, const std::string& text)
    : Error("Socket Error # " + std::to_string(code) + "\r\n" + text), code_(code) {}

std::unique_ptr<Stream> Network::Secure(std::unique_ptr<Stream> plain, const std::string&) {
  plain->Close();
  throw Error("TLS is not available.");
}

}  // namespace tarnwick::net
