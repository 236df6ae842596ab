#include "net/tls_win32.h"

#define SECURITY_WIN32
#include <windows.h>
#include <wincrypt.h>
#include <schannel.h>
#include <security.h>
#include <sspi.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "app/system_error.h"
#include "net/tls_record.h"

namespace tarnwick::net {

class TlsCredentials {
 public:
  TlsCredentials() {
    SCHANNEL_CRED cred{};
    cred.dwVersion = SCHANNEL_CRED_VERSION;
    // Older systems leave TLS 1.2 off unless it is asked for.
    cred.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    // The chain and the name are checked below, where the refusal can say why.
    cred.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    TimeStamp expiry;
    const SECURITY_STATUS status = AcquireCredentialsHandleA(
        nullptr, const_cast<char*>(UNISP_NAME_A), SECPKG_CRED_OUTBOUND, nullptr, &cred, nullptr,
        nullptr, &handle_, &expiry);
    if (status != SEC_E_OK) {
      throw Error("TLS is not available: " + SystemErrorText(static_cast<uint32_t>(status)));
    }
  }
  ~TlsCredentials() { FreeCredentialsHandle(&handle_); }
  TlsCredentials(const TlsCredentials&) = delete;
  TlsCredentials& operator=(const TlsCredentials&) = delete;
  CredHandle* get() { return &handle_; }

 private:
  CredHandle handle_{};
};

namespace {

constexpr DWORD kContextFlags = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                                ISC_REQ_CONFIDENTIALITY | ISC_REQ_EXTENDED_ERROR |
                                ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM;

Error StatusError(const std::string& what, SECURITY_STATUS status) {
  return Error(what + ": " + SystemErrorText(static_cast<uint32_t>(status)));
}

// Owners of what the system allocates for us.
struct ContextBuffer {
  void* p = nullptr;
  ~ContextBuffer() {
    if (p) FreeContextBuffer(p);
  }
};
struct CertOwner {
  PCCERT_CONTEXT p = nullptr;
  ~CertOwner() {
    if (p) CertFreeCertificateContext(p);
  }
};
struct ChainOwner {
  PCCERT_CHAIN_CONTEXT p = nullptr;
  ~ChainOwner() {
    if (p) CertFreeCertificateChain(p);
  }
};

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                    wide.data(), static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return wide;
}

// The refusal of a certificate, by the policy's verdict.
std::string CertificateReason(DWORD error) {
  switch (error) {
    case static_cast<DWORD>(CERT_E_EXPIRED):
      return "it has expired or is not valid yet";
    case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
    case static_cast<DWORD>(CERT_E_CHAINING):
    case static_cast<DWORD>(TRUST_E_CERT_SIGNATURE):
      return "it was issued by an unknown authority";
    case static_cast<DWORD>(CERT_E_CN_NO_MATCH):
      return "it was issued for another name";
    case static_cast<DWORD>(CERT_E_WRONG_USAGE):
      return "it is not meant for servers";
    default:
      return SystemErrorText(error);
  }
}

class TlsStream : public Stream {
 public:
  TlsStream(std::unique_ptr<Stream> plain, std::shared_ptr<TlsCredentials> credentials,
            std::string host)
      : plain_(std::move(plain)), credentials_(std::move(credentials)), host_(std::move(host)) {}

  ~TlsStream() override {
    if (have_context_) DeleteSecurityContext(&context_);
  }

  void Handshake() {
    Negotiate(/*first=*/true);
    Verify();
    const SECURITY_STATUS status =
        QueryContextAttributesA(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_);
    if (status != SEC_E_OK) throw StatusError("TLS with " + host_ + " failed", status);
  }

  void Write(std::string_view bytes) override {
    if (!plain_) throw Error("Not connected.");
    while (!bytes.empty()) {
      const size_t chunk = std::min<size_t>(bytes.size(), sizes_.cbMaximumMessage);
      std::string record(sizes_.cbHeader + chunk + sizes_.cbTrailer, '\0');
      std::memcpy(record.data() + sizes_.cbHeader, bytes.data(), chunk);
      SecBuffer buffers[4] = {
          {sizes_.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
          {static_cast<unsigned long>(chunk), SECBUFFER_DATA, record.data() + sizes_.cbHeader},
          {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + sizes_.cbHeader + chunk},
          {0, SECBUFFER_EMPTY, nullptr}};
      SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
      const SECURITY_STATUS status = EncryptMessage(&context_, 0, &desc, 0);
      if (status != SEC_E_OK) throw StatusError("TLS with " + host_ + " failed", status);
      plain_->Write(std::string_view(record.data(),
                                     buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer));
      bytes.remove_prefix(chunk);
    }
  }

  size_t Read(char* buffer, size_t size, int timeout_ms) override {
    while (clear_.empty()) {
      if (peer_closed_ || !plain_) return 0;
      if (received_.size() < TlsRecordNeed(received_)) {
        if (!Receive(timeout_ms)) return 0;
        continue;
      }
      Decrypt();
    }
    const size_t n = std::min(size, clear_.size());
    std::memcpy(buffer, clear_.data(), n);
    clear_.erase(0, n);
    return n;
  }

  std::string LocalAddress() const override { return plain_ ? plain_->LocalAddress() : ""; }
  std::string PeerAddress() const override { return plain_ ? plain_->PeerAddress() : ""; }

  void Close() override {
    if (!plain_) return;
    if (have_context_ && !peer_closed_) {
      try {
        SendCloseNotify();
      } catch (const Error&) {
        // The connection may be gone already; closing is all that is left.
      }
    }
    plain_->Close();
    plain_.reset();
  }

  // Closes the connection without a word: after a refused certificate nothing
  // more goes to that server.
  void Drop() {
    if (plain_) plain_->Close();
    plain_.reset();
  }

 private:
  // Reads what the first incomplete record still lacks, never more, so the
  // buffer stays bounded. Returns false when the peer closed the connection.
  bool Receive(int timeout_ms) {
    char chunk[kTlsMaxRecord];
    const size_t missing = std::min(TlsBytesMissing(received_), sizeof chunk);
    const size_t n = plain_->Read(chunk, missing, timeout_ms);
    if (n == 0) return false;
    received_.append(chunk, n);
    return true;
  }

  void Negotiate(bool first) {
    for (;;) {
      SecBuffer in[2] = {{static_cast<unsigned long>(received_.size()), SECBUFFER_TOKEN,
                          received_.data()},
                         {0, SECBUFFER_EMPTY, nullptr}};
      SecBufferDesc in_desc{SECBUFFER_VERSION, 2, in};
      SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
      SecBufferDesc out_desc{SECBUFFER_VERSION, 1, out};
      unsigned long attributes = 0;
      TimeStamp expiry;
      SECURITY_STATUS status = InitializeSecurityContextA(
          credentials_->get(), first ? nullptr : &context_, const_cast<char*>(host_.c_str()),
          kContextFlags, 0, 0, first ? nullptr : &in_desc, 0, first ? &context_ : nullptr,
          &out_desc, &attributes, &expiry);
      if (first) have_context_ = status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED;
      first = false;
      ContextBuffer token{out[0].pvBuffer};
      if (status == SEC_E_INCOMPLETE_MESSAGE) {
        if (!Receive(kReplyTimeoutMs)) throw Error("The server closed the TLS connection.");
        continue;
      }
      if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED &&
          status != SEC_I_INCOMPLETE_CREDENTIALS) {
        throw StatusError("TLS handshake with " + host_ + " failed", status);
      }
      if (out[0].cbBuffer > 0 && out[0].pvBuffer) {
        plain_->Write(std::string_view(static_cast<const char*>(out[0].pvBuffer), out[0].cbBuffer));
      }
      // What the call did not consume belongs to the next record.
      if (in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer <= received_.size()) {
        received_.erase(0, received_.size() - in[1].cbBuffer);
      } else if (status != SEC_I_INCOMPLETE_CREDENTIALS) {
        received_.clear();
      }
      if (status == SEC_E_OK) return;
      if (received_.empty() && !Receive(kReplyTimeoutMs)) {
        throw Error("The server closed the TLS connection.");
      }
    }
  }

  void Verify() {
    CertOwner certificate;
    SECURITY_STATUS status =
        QueryContextAttributesA(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate.p);
    if (status != SEC_E_OK || !certificate.p) {
      throw Error("The certificate of " + host_ + " was refused: the server sent none.");
    }
    CERT_CHAIN_PARA chain_para{};
    chain_para.cbSize = sizeof chain_para;
    ChainOwner chain;
    if (!CertGetCertificateChain(nullptr, certificate.p, nullptr, certificate.p->hCertStore,
                                 &chain_para, 0, nullptr, &chain.p)) {
      throw Error("The certificate of " + host_ + " was refused: " +
                  SystemErrorText(GetLastError()));
    }
    std::wstring name = Wide(host_);
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.pwszServerName = name.data();
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS verdict{};
    verdict.cbSize = sizeof verdict;
    if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.p, &policy, &verdict)) {
      throw Error("The certificate of " + host_ + " was refused: " +
                  SystemErrorText(GetLastError()));
    }
    if (verdict.dwError != 0) {
      throw Error("The certificate of " + host_ + " was refused: " +
                  CertificateReason(verdict.dwError) + ".");
    }
  }

  void Decrypt() {
    SecBuffer buffers[4] = {
        {static_cast<unsigned long>(received_.size()), SECBUFFER_DATA, received_.data()},
        {0, SECBUFFER_EMPTY, nullptr},
        {0, SECBUFFER_EMPTY, nullptr},
        {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS status = DecryptMessage(&context_, &desc, 0, nullptr);
    if (status == SEC_I_CONTEXT_EXPIRED) {  // the peer's close_notify
      peer_closed_ = true;
      received_.clear();
      return;
    }
    if (status == SEC_I_RENEGOTIATE) {
      throw Error("The server asked to renegotiate TLS, which is not supported.");
    }
    if (status != SEC_E_OK) throw StatusError("TLS with " + host_ + " failed", status);
    size_t extra = 0;
    for (const SecBuffer& b : buffers) {
      if (b.BufferType == SECBUFFER_DATA && b.cbBuffer > 0) {
        clear_.append(static_cast<const char*>(b.pvBuffer), b.cbBuffer);
      } else if (b.BufferType == SECBUFFER_EXTRA) {
        extra = b.cbBuffer;
      }
    }
    received_.erase(0, received_.size() - std::min(extra, received_.size()));
  }

  void SendCloseNotify() {
    DWORD type = SCHANNEL_SHUTDOWN;
    SecBuffer control{sizeof type, SECBUFFER_TOKEN, &type};
    SecBufferDesc control_desc{SECBUFFER_VERSION, 1, &control};
    if (ApplyControlToken(&context_, &control_desc) != SEC_E_OK) return;
    SecBuffer out{0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc out_desc{SECBUFFER_VERSION, 1, &out};
    unsigned long attributes = 0;
    TimeStamp expiry;
    const SECURITY_STATUS status = InitializeSecurityContextA(
        credentials_->get(), &context_, const_cast<char*>(host_.c_str()), kContextFlags, 0, 0,
        nullptr, 0, nullptr, &out_desc, &attributes, &expiry);
    ContextBuffer token{out.pvBuffer};
    if ((status == SEC_E_OK || status == SEC_I_CONTEXT_EXPIRED) && out.cbBuffer > 0 &&
        out.pvBuffer) {
      plain_->Write(std::string_view(static_cast<const char*>(out.pvBuffer), out.cbBuffer));
    }
  }

  std::unique_ptr<Stream> plain_;
  std::shared_ptr<TlsCredentials> credentials_;
  std::string host_;
  CtxtHandle context_{};
  bool have_context_ = false;
  bool peer_closed_ = false;
  SecPkgContext_StreamSizes sizes_{};
  std::string received_;  // ciphertext of the record being read
  std::string clear_;     // decrypted bytes not yet read
};

}  // namespace

SchannelTls::SchannelTls() = default;
SchannelTls::~SchannelTls() = default;

std::unique_ptr<Stream> SchannelTls::Secure(std::unique_ptr<Stream> plain,
                                            const std::string& host) {
  if (!credentials_) credentials_ = std::make_shared<TlsCredentials>();
  auto stream = std::make_unique<TlsStream>(std::move(plain), credentials_, host);
  try {
    stream->Handshake();
  } catch (...) {
    stream->Drop();
    throw;
  }
  return stream;
}

}  // namespace tarnwick::net
