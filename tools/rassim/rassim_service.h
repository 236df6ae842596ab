#pragma once
// The simulated RAS service inside one process: the configuration read from the
// control file, the live connections, the event log. Every exported function
// takes the lock through Service::Lock and calls Refresh first.
#include <windows.h>

#include <list>
#include <memory>
#include <mutex>
#include <string>

#include "rassim_model.h"

namespace rassim {

enum class Phase { kDialing, kConnected, kFailed };

struct Connection {
  uintptr_t handle = 0;
  int serial = 0;
  std::string entry;
  std::string device_type;
  std::string device_name;
  std::string phone;
  Phase phase = Phase::kDialing;
  int state = kStateOpenPort;
  int error = 0;
  std::string client_ip;
  ULONGLONG connected_at = 0;
  // Hang-up: the handle stays valid until the delay has passed and the dial
  // thread is out of the notifier (as RAS keeps it while it reports).
  bool hung_up = false;
  ULONGLONG invalid_at = 0;
  bool in_notifier = false;

  bool Listed() const { return !hung_up && phase != Phase::kFailed; }
};

class Service {
 public:
  static Service& Instance();

  std::unique_lock<std::mutex> Lock() { return std::unique_lock(mutex_); }

  // Re-reads the control file when it changed; drops released handles. Locked.
  void Refresh();
  const Config& config() const { return config_; }
  EntryConfig* FindEntry(const std::string& name);

  // Locked. nullptr when the handle is not (or no longer) valid.
  Connection* Find(uintptr_t handle);
  Connection* FindListed(const std::string& entry);
  Connection& Create(const EntryConfig& entry);
  void MarkConnected(Connection& connection);
  void HangUp(Connection& connection);
  std::list<Connection>& connections() { return connections_; }

  // Appends one line to the event log (locked or not: it has its own lock).
  void Log(const std::string& line);
  std::string PasswordForLog(const std::string& password) const;

 private:
  void Load(const std::string& path);
  void ApplyActions();
  void ReleaseExpired();

  std::mutex mutex_;
  std::mutex log_mutex_;
  Config config_;
  std::list<Connection> connections_;
  int next_serial_ = 1;
  std::string loaded_path_;
  FILETIME loaded_time_{};
  ULONGLONG loaded_size_ = ~0ull;
};

// Quotes a value for the log.
std::string Quoted(const std::string& value);
std::string HandleText(uintptr_t handle);

}  // namespace rassim
