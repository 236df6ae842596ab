#include "unit/net/mail_fakes.h"

#include <algorithm>
#include <cstring>

namespace tarnwick::net::testing {

std::vector<Chunk> Bytewise(const std::string& text) {
  std::vector<Chunk> chunks;
  for (char c : text) chunks.push_back(Data(std::string(1, c)));
  return chunks;
}

void ScriptedStream::Write(std::string_view bytes) {
  if (state_->closed) throw SocketError(10038, "Socket operation on nonsocket.");
  if (state_->reset_on_write) throw SocketError(10054, "Connection reset by peer.");
  state_->written += bytes;
}

size_t ScriptedStream::Read(char* buffer, size_t size, int timeout_ms) {
  state_->read_timeouts.push_back(timeout_ms);
  // A script that has run out is a server that says nothing more.
  if (state_->script.empty()) throw TimedOutError();
  Chunk& next = state_->script.front();
  switch (next.kind) {
    case Chunk::kStall:
      state_->script.pop_front();
      if (state_->now) *state_->now += timeout_ms;
      throw TimedOutError();
    case Chunk::kClose:
      return 0;
    case Chunk::kReset:
      state_->reset_on_write = true;
      throw SocketError(10054, "Connection reset by peer.");
    case Chunk::kData:
      break;
  }
  if (state_->now) *state_->now += next.advance_ms;
  next.advance_ms = 0;
  const size_t n = std::min(size, next.bytes.size());
  std::memcpy(buffer, next.bytes.data(), n);
  next.bytes.erase(0, n);
  if (next.bytes.empty()) state_->script.pop_front();
  return n;
}

std::shared_ptr<StreamState> FakeNetwork::AddServer(std::vector<Chunk> script) {
  auto state = std::make_shared<StreamState>();
  state->script.assign(script.begin(), script.end());
  state->now = &now_ms;
  plans_.push_back({state, std::nullopt});
  return state;
}

void FakeNetwork::AddRefusal(int code, const std::string& text) {
  plans_.push_back({nullptr, SocketError(code, text)});
}

std::shared_ptr<StreamState> FakeNetwork::AddDataConnection(bool connects) {
  std::shared_ptr<StreamState> state;
  if (connects) state = std::make_shared<StreamState>();
  data_plans_.push_back({state});
  return state;
}

std::shared_ptr<StreamState> FakeNetwork::AddStranger(const std::string& peer, int64_t after_ms) {
  auto state = std::make_shared<StreamState>();
  state->peer_address = peer;
  data_plans_.push_back({state, true, after_ms});
  return state;
}

std::unique_ptr<Stream> FakeNetwork::Connect(const std::string& host, uint16_t port,
                                             int timeout_ms) {
  connects.push_back(host + ":" + std::to_string(port) + "/" + std::to_string(timeout_ms));
  if (plans_.empty()) throw SocketError(10061, "Connection refused.");
  Plan plan = plans_.front();
  plans_.pop_front();
  if (plan.error) throw *plan.error;
  return std::make_unique<ScriptedStream>(plan.state);
}

namespace {

class FakeListener : public Listener {
 public:
  FakeListener(FakeNetwork& network, std::deque<std::shared_ptr<StreamState>> arrivals,
               std::deque<int64_t> after_ms)
      : network_(network), arrivals_(std::move(arrivals)), after_ms_(std::move(after_ms)) {}
  uint16_t Port() const override { return 51210; }  // 200 * 256 + 10
  std::unique_ptr<Stream> Accept(int timeout_ms) override {
    network_.accept_timeouts.push_back(timeout_ms);
    if (arrivals_.empty() || !arrivals_.front() || after_ms_.front() > timeout_ms) {
      if (!after_ms_.empty()) after_ms_.front() -= timeout_ms;
      network_.now_ms += timeout_ms;
      throw TimedOutError();
    }
    network_.now_ms += after_ms_.front();
    auto state = arrivals_.front();
    arrivals_.pop_front();
    after_ms_.pop_front();
    return std::make_unique<ScriptedStream>(state);
  }

 private:
  FakeNetwork& network_;
  std::deque<std::shared_ptr<StreamState>> arrivals_;
  std::deque<int64_t> after_ms_;
};

}  // namespace

std::unique_ptr<Listener> FakeNetwork::Listen(const std::string& local_address) {
  listens.push_back(local_address);
  // The strangers queued before the next server connection come to this port.
  std::deque<std::shared_ptr<StreamState>> arrivals;
  std::deque<int64_t> after_ms;
  while (!data_plans_.empty()) {
    DataPlan plan = data_plans_.front();
    data_plans_.pop_front();
    arrivals.push_back(plan.state);
    after_ms.push_back(plan.after_ms);
    if (!plan.stranger) break;
  }
  return std::make_unique<FakeListener>(*this, std::move(arrivals), std::move(after_ms));
}

std::unique_ptr<Stream> FakeNetwork::Secure(std::unique_ptr<Stream> plain,
                                            const std::string& host) {
  secured.push_back(host);
  if (tls_refusal) {
    plain->Close();
    throw Error(*tls_refusal);
  }
  plain->Write("[TLS]");
  return plain;
}

BoxRecorder::BoxRecorder() {
  previous_ = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
    boxes.push_back(request);
    return static_cast<int>(kAnswerOk);
  });
}

BoxRecorder::~BoxRecorder() {
  SetMessageBoxHandler(previous_);
}

}  // namespace tarnwick::net::testing
