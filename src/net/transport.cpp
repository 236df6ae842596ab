#include "net/transport.h"

namespace tarnwick::net {

SocketError::SocketError(int code, const std::string& text)
    : Error("Socket Error # " + std::to_string(code) + "\r\n" + text), code_(code) {}

}  // namespace tarnwick::net
