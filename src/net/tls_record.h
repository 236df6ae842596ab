#pragma once
// Framing of TLS records as they arrive, before the system's TLS decrypts them.
// The reader of a TLS stream keeps at most one record plus what follows it, so
// a peer that announces a huge record, or talks something other than TLS, is
// refused instead of filling memory.
#include <cstddef>
#include <string_view>

namespace tarnwick::net {

inline constexpr size_t kTlsHeaderSize = 5;
// The largest ciphertext a record may carry: 2^14 bytes of plaintext plus the
// expansion TLS 1.2 allows.
inline constexpr size_t kTlsMaxCiphertext = 16384 + 2048;
inline constexpr size_t kTlsMaxRecord = kTlsHeaderSize + kTlsMaxCiphertext;

// How many bytes `buffer` must hold before its first record is complete: the
// whole record's size when the header is there, else the header's size. Throws
// Error when the header is not a TLS record's (unknown content type or major
// version, or a length beyond kTlsMaxCiphertext).
size_t TlsRecordNeed(std::string_view buffer);

// How many more bytes complete the first record of `buffer` that is not yet
// complete (its header first): always at least 1. Throws like TlsRecordNeed for
// any of the records, and Error when the complete ones already make more than
// kTlsMaxBuffered bytes: the system's TLS takes records one flight at a time.
inline constexpr size_t kTlsMaxBuffered = 8 * kTlsMaxRecord;
size_t TlsBytesMissing(std::string_view buffer);

}  // namespace tarnwick::net
