#pragma once
// Doubles of the main window and its RAS component for the poll tests.
#include <map>
#include <string>
#include <vector>

#include "notify/poll.h"
#include "unit/notify/fakes.h"

namespace tarnwick::test {

class FakeView : public PollView {
 public:
  std::string SelectedConnection() const override { return selected; }
  void SetLabel(PollLabel label, const std::string& text) override { labels[label] = text; }
  void ShowConnectedPicture(bool connected) override { picture = connected ? "Image2" : "Image3"; }

  std::string Label(PollLabel label) const {
    auto it = labels.find(label);
    return it == labels.end() ? "(untouched)" : it->second;
  }

  std::string selected;
  std::map<PollLabel, std::string> labels;
  std::string picture = "(untouched)";
};

class FakeHost : public PollHost {
 public:
  void SetPollEnabled(bool enabled) override {
    poll_enabled = enabled;
    log.push_back(enabled ? "poll on" : "poll off");
  }
  void DisableSchedulerAndKeepAlive() override { log.push_back("timers off"); }
  void OpenReconnectWindow() override { log.push_back("reconnect window"); }
  void SaveSettings() override {
    log.push_back("save");
    ++saves;
    if (save_fails) throw Error("Failed to set data for 'lastip'");
  }

  bool poll_enabled = false;
  bool save_fails = false;
  int saves = 0;
  std::vector<std::string> log;
};

// Active connections and addresses as RAS would report them. Events go to the
// poll the way the main window forwards them.
class FakeRas : public Connections {
 public:
  struct Active {
    RasHandle handle;
    std::string entry;
    std::string device;
    int state = kRasStateConnected;
    int error = 0;
  };

  void GetConnections() override {
    if (!load_error.empty()) throw Error(load_error);
    for (const Active& a : active) {
      poll->DialUp1ActiveConnection(a.handle, a.entry, a.device, a.state, a.error);
    }
  }
  void SetEntry(const std::string& e) override { entry = e; }
  RasHandle ConnHandle() const override { return conn_handle; }
  void SetConnHandle(RasHandle handle) override { conn_handle = handle; }
  std::string ClientAddress(RasHandle handle) override {
    auto it = addresses.find(handle);
    return it == addresses.end() ? std::string() : it->second;
  }
  void InitStatistics(bool start, bool find_adapter, const std::string& device) override {
    log.push_back("init " + std::to_string(start) + std::to_string(find_adapter) + " " + device);
  }
  TrafficCounts GetStatistics() override { return counts; }
  void Dial() override {
    log.push_back("dial " + entry);
    if (dial_hands_out) conn_handle = dial_hands_out;
  }
  void HangUp() override { log.push_back("hangup"); }

  IpCheckLoop* poll = nullptr;
  std::string load_error;
  std::vector<Active> active;
  std::map<RasHandle, std::string> addresses;
  TrafficCounts counts;
  std::string entry;
  RasHandle conn_handle = 0;
  RasHandle dial_hands_out = 0;  // handle a Dial of the live entry gives the component
  std::vector<std::string> log;
};

}  // namespace tarnwick::test
