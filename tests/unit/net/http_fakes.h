#pragma once
// Scripted streams and networks for the web-fetch tests, in virtual time: a
// server is a list of steps (bytes, a pause, a close, an error), and a read that
// finds no step left behaves like a silent server (the wait runs out).
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "net/http_reader.h"
#include "net/transport.h"

namespace tarnwick::net::testing {

struct VirtualClock {
  int64_t now = 1'000'000;
  HttpClock AsClock() {
    return [this] { return now; };
  }
};

struct ServerStep {
  enum Kind { kData, kClose, kFail } kind = kData;
  std::string bytes;
  int64_t delay_ms = 0;  // virtual time before the step happens
};

// What one connection's server does, and what the client did to it.
struct ServerScript {
  std::deque<ServerStep> steps;
  std::string written;
  std::vector<int> read_timeouts;
  bool closed = false;
  bool fail_writes = false;

  ServerScript& Send(std::string bytes, int64_t delay_ms = 0) {
    steps.push_back({ServerStep::kData, std::move(bytes), delay_ms});
    return *this;
  }
  ServerScript& Close() {
    steps.push_back({ServerStep::kClose, {}, 0});
    return *this;
  }
  ServerScript& Fail() {
    steps.push_back({ServerStep::kFail, {}, 0});
    return *this;
  }
};

inline SocketError TimedOut() {
  return SocketError(10060, "Connection timed out");
}

class ScriptedStream : public Stream {
 public:
  ScriptedStream(std::shared_ptr<ServerScript> script, VirtualClock& clock)
      : script_(std::move(script)), clock_(clock) {}

  void Write(std::string_view bytes) override {
    if (script_->fail_writes || script_->closed)
      throw SocketError(10054, "Connection reset by peer");
    script_->written.append(bytes);
  }

  size_t Read(char* buffer, size_t size, int timeout_ms) override {
    script_->read_timeouts.push_back(timeout_ms);
    auto& steps = script_->steps;
    if (steps.empty() || steps.front().delay_ms > timeout_ms) {
      if (!steps.empty()) steps.front().delay_ms -= timeout_ms;
      clock_.now += timeout_ms;
      throw TimedOut();
    }
    ServerStep& step = steps.front();
    clock_.now += step.delay_ms;
    step.delay_ms = 0;
    if (step.kind == ServerStep::kClose) return 0;  // stays: a closed peer keeps reading 0
    if (step.kind == ServerStep::kFail) {
      steps.pop_front();
      throw SocketError(10054, "Connection reset by peer");
    }
    size_t n = std::min(size, step.bytes.size());
    std::memcpy(buffer, step.bytes.data(), n);
    step.bytes.erase(0, n);
    if (step.bytes.empty()) steps.pop_front();
    return n;
  }

  std::string LocalAddress() const override { return "127.0.0.1"; }
  std::string PeerAddress() const override { return "127.0.0.1"; }
  void Close() override { script_->closed = true; }

 private:
  std::shared_ptr<ServerScript> script_;
  VirtualClock& clock_;
};

struct ConnectCall {
  std::string host;
  uint16_t port;
  int timeout_ms;
};

// Hands out the queued servers in order; a connection without one is refused.
class ScriptedNetwork : public Network {
 public:
  std::shared_ptr<ServerScript> AddServer() {
    servers_.push_back(std::make_shared<ServerScript>());
    return servers_.back();
  }

  std::unique_ptr<Stream> Connect(const std::string& host, uint16_t port, int timeout_ms) override {
    connects.push_back({host, port, timeout_ms});
    if (servers_.empty()) throw SocketError(10061, "Connection refused");
    auto script = servers_.front();
    servers_.pop_front();
    return std::make_unique<ScriptedStream>(script, clock);
  }

  std::unique_ptr<Listener> Listen(const std::string&) override {
    throw SocketError(10045, "Operation not supported");
  }

  // "[TLS]" in the transcript where encryption starts, or `tls_refusal`.
  std::unique_ptr<Stream> Secure(std::unique_ptr<Stream> plain, const std::string& host) override {
    secured.push_back(host);
    if (!tls_refusal.empty()) {
      plain->Close();
      throw Error(tls_refusal);
    }
    plain->Write("[TLS]");
    return plain;
  }
  std::vector<std::string> secured;
  std::string tls_refusal;

  VirtualClock clock;
  std::vector<ConnectCall> connects;

 private:
  std::deque<std::shared_ptr<ServerScript>> servers_;
};

}  // namespace tarnwick::net::testing
