#include "net/tls_record.h"

#include "app/error.h"

namespace tarnwick::net {

size_t TlsRecordNeed(std::string_view buffer) {
  if (buffer.empty()) return kTlsHeaderSize;
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(buffer[i]); };
  // change_cipher_spec, alert, handshake, application_data, heartbeat
  if (byte(0) < 20 || byte(0) > 24) throw Error("The server did not answer with TLS.");
  if (buffer.size() >= 2 && byte(1) != 3) throw Error("The server did not answer with TLS.");
  if (buffer.size() < kTlsHeaderSize) return kTlsHeaderSize;
  const size_t length = (size_t{byte(3)} << 8) | byte(4);
  if (length > kTlsMaxCiphertext) throw Error("The server sent a TLS record that is too long.");
  return kTlsHeaderSize + length;
}

size_t TlsBytesMissing(std::string_view buffer) {
  const size_t total = buffer.size();
  for (;;) {
    const size_t need = TlsRecordNeed(buffer);
    if (buffer.size() < need) {
      if (total - buffer.size() > kTlsMaxBuffered) {
        throw Error("The server sent more TLS records than expected.");
      }
      return need - buffer.size();
    }
    buffer.remove_prefix(need);
  }
}

}  // namespace tarnwick::net
