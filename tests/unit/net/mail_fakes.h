#pragma once
// Scripted servers for the SMTP and FTP transcript tests: each connection replays
// a script of server output (in chunks as the reads see them, stalls, a close)
// and records every byte the client writes. Time is virtual: a stall reports a
// time-out at once.
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/message_box.h"
#include "net/line_reader.h"
#include "net/transport.h"

namespace tarnwick::net::testing {

struct Chunk {
  enum Kind { kData, kStall, kClose, kReset } kind = kData;
  std::string bytes;
  int64_t advance_ms = 0;  // virtual time that passes before this chunk arrives
};
inline Chunk Data(std::string bytes, int64_t advance_ms = 0) {
  return {Chunk::kData, std::move(bytes), advance_ms};
}
inline Chunk Stall() {
  return {Chunk::kStall, "", 0};
}
inline Chunk Closed() {
  return {Chunk::kClose, "", 0};
}
inline Chunk Reset() {
  return {Chunk::kReset, "", 0};
}

// Every byte of `text` as a chunk of its own: replies split across reads.
std::vector<Chunk> Bytewise(const std::string& text);

// Where every scripted server is, control and data connection alike.
inline constexpr const char* kServerAddress = "192.0.2.25";

struct StreamState {
  std::deque<Chunk> script;
  std::string written;
  std::vector<int> read_timeouts;
  std::string local_address = "192.168.1.5";
  std::string peer_address = kServerAddress;
  bool closed = false;
  bool reset_on_write = false;  // the peer has gone: writes fail
  int64_t* now = nullptr;
};

class ScriptedStream : public Stream {
 public:
  explicit ScriptedStream(std::shared_ptr<StreamState> state) : state_(std::move(state)) {}
  void Write(std::string_view bytes) override;
  size_t Read(char* buffer, size_t size, int timeout_ms) override;
  std::string LocalAddress() const override { return state_->local_address; }
  std::string PeerAddress() const override { return state_->peer_address; }
  void Close() override { state_->closed = true; }

 private:
  std::shared_ptr<StreamState> state_;
};

class FakeNetwork : public Network {
 public:
  // The next Connect gets a server that plays `script`.
  std::shared_ptr<StreamState> AddServer(std::vector<Chunk> script);
  // The next Connect fails with this socket error.
  void AddRefusal(int code = 10061, const std::string& text = "Connection refused.");
  // The next data connection: a server that connects (and records what it gets),
  // or, with `connects` false, one that never does.
  std::shared_ptr<StreamState> AddDataConnection(bool connects = true);
  // Someone else at `peer` connects to the next data port before the server,
  // `after_ms` of virtual time into the wait.
  std::shared_ptr<StreamState> AddStranger(const std::string& peer, int64_t after_ms = 0);

  std::unique_ptr<Stream> Connect(const std::string& host, uint16_t port, int timeout_ms) override;
  std::unique_ptr<Listener> Listen(const std::string& local_address) override;
  // Marks the transcript with "[TLS]" where encryption starts, or refuses with
  // `tls_refusal` when it is set (closing the connection, as the real one does).
  std::unique_ptr<Stream> Secure(std::unique_ptr<Stream> plain, const std::string& host) override;

  std::optional<std::string> tls_refusal;
  std::vector<std::string> secured;  // the host names given to Secure

  Clock VirtualClock() {
    return [this] { return now_ms; };
  }

  int64_t now_ms = 0;
  std::vector<std::string> connects;  // "host:port/timeout"
  std::vector<std::string> listens;   // local addresses
  std::vector<int> accept_timeouts;

 private:
  struct Plan {
    std::shared_ptr<StreamState> state;
    std::optional<SocketError> error;
  };
  struct DataPlan {
    std::shared_ptr<StreamState> state;  // null: nobody connects
    bool stranger = false;
    int64_t after_ms = 0;
  };
  std::deque<Plan> plans_;
  std::deque<DataPlan> data_plans_;
};

// Records message boxes for the life of the object.
class BoxRecorder {
 public:
  BoxRecorder();
  ~BoxRecorder();
  std::vector<MessageBoxRequest> boxes;

 private:
  MessageBoxHandler previous_;
};

}  // namespace tarnwick::net::testing
