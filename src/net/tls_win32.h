#pragma once
// TLS over a Stream with the system's own TLS (Schannel through SSPI). The
// handshake asks for TLS 1.2 explicitly, names the server (SNI), and checks the
// server's certificate chain and name against the system's trust store itself;
// a certificate that does not verify ends the connection with an error that
// says why. There is no way to accept an unverified server.
#include <memory>
#include <string>

#include "net/transport.h"

namespace tarnwick::net {

// One credentials handle for every TLS connection of a network: the system keeps
// its session cache per handle, so a second connection to the same server (an
// FTP data connection) can resume the first one's session.
class TlsCredentials;

class SchannelTls {
 public:
  SchannelTls();
  ~SchannelTls();
  SchannelTls(const SchannelTls&) = delete;
  SchannelTls& operator=(const SchannelTls&) = delete;

  // Runs the handshake over `plain` for `host` and returns the stream that
  // encrypts through it. Throws Error naming the reason when the handshake fails
  // or the certificate is refused; `plain` is closed then, with nothing sent.
  std::unique_ptr<Stream> Secure(std::unique_ptr<Stream> plain, const std::string& host);

 private:
  std::shared_ptr<TlsCredentials> credentials_;
};

}  // namespace tarnwick::net
