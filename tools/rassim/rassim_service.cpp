#include "rassim_service.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace rassim {
namespace {

constexpr char kDefaultControl[] = "C:\\rassim\\control.txt";
constexpr char kDefaultLog[] = "C:\\rassim\\events.log";
// Handles look like the system's: opaque, non-zero, never reused in a process.
constexpr uintptr_t kHandleBase = 0x5A510000;

std::string EnvOr(const char* name, const char* fallback) {
  char value[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof(value));
  return (n > 0 && n < sizeof(value)) ? std::string(value) : std::string(fallback);
}

void CreateParentDirectory(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos || slash == 0) return;
  const std::string parent = path.substr(0, slash);
  if (GetFileAttributesA(parent.c_str()) != INVALID_FILE_ATTRIBUTES) return;
  CreateParentDirectory(parent);
  CreateDirectoryA(parent.c_str(), nullptr);
}

}  // namespace

std::string Quoted(const std::string& value) {
  return "\"" + value + "\"";
}

std::string HandleText(uintptr_t handle) {
  char text[32];
  std::snprintf(text, sizeof(text), "0x%llx", static_cast<unsigned long long>(handle));
  return text;
}

Service& Service::Instance() {
  static Service service;
  return service;
}

void Service::Refresh() {
  const std::string path = EnvOr("RASSIM_CONTROL", kDefaultControl);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  FILETIME time{};
  ULONGLONG size = ~0ull - 1;  // "missing": differs from any real size and from "never loaded"
  if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
    time = data.ftLastWriteTime;
    size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }
  if (path != loaded_path_ || size != loaded_size_ || CompareFileTime(&time, &loaded_time_) != 0) {
    loaded_path_ = path;
    loaded_time_ = time;
    loaded_size_ = size;
    Load(path);
  }
  ReleaseExpired();
}

void Service::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  if (in) text << in.rdbuf();
  std::vector<std::string> problems;
  config_ = ParseControl(text.str(), problems);
  Log("load control=" + Quoted(path) + " entries=" + std::to_string(config_.entries.size()) +
      " problems=" + std::to_string(problems.size()));
  for (const std::string& problem : problems) Log("problem " + Quoted(problem));
  ApplyActions();
}

void Service::ApplyActions() {
  for (const Action& action : config_.actions) {
    if (action.kind == Action::kDrop) {
      for (auto it = connections_.begin(); it != connections_.end();) {
        if (it->entry == action.entry && !it->hung_up) {
          Log("drop entry=" + Quoted(it->entry) + " handle=" + HandleText(it->handle));
          it = connections_.erase(it);
        } else {
          ++it;
        }
      }
    } else if (FindListed(action.entry) == nullptr) {
      const EntryConfig* entry = config_.Find(action.entry);
      if (entry == nullptr) {
        Log("problem " + Quoted("connected: no entry " + action.entry));
        continue;
      }
      Connection& connection = Create(*entry);
      MarkConnected(connection);
      Log("connected entry=" + Quoted(connection.entry) +
          " handle=" + HandleText(connection.handle) + " by=control");
    }
  }
}

void Service::ReleaseExpired() {
  const ULONGLONG now = GetTickCount64();
  for (auto it = connections_.begin(); it != connections_.end();) {
    if (it->hung_up && !it->in_notifier && !config_.hangup_never && now >= it->invalid_at) {
      Log("released handle=" + HandleText(it->handle));
      it = connections_.erase(it);
    } else {
      ++it;
    }
  }
}

EntryConfig* Service::FindEntry(const std::string& name) {
  for (EntryConfig& entry : config_.entries) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

Connection* Service::Find(uintptr_t handle) {
  for (Connection& connection : connections_) {
    if (connection.handle == handle) return &connection;
  }
  return nullptr;
}

Connection* Service::FindListed(const std::string& entry) {
  for (Connection& connection : connections_) {
    if (connection.entry == entry && connection.Listed()) return &connection;
  }
  return nullptr;
}

Connection& Service::Create(const EntryConfig& entry) {
  Connection connection;
  connection.serial = next_serial_++;
  connection.handle = kHandleBase + static_cast<uintptr_t>(connection.serial) * 4;
  connection.entry = entry.name;
  connection.device_type = entry.device_type;
  connection.device_name = entry.device_name;
  connection.phone = entry.phone;
  connections_.push_back(connection);
  return connections_.back();
}

void Service::MarkConnected(Connection& connection) {
  connection.phase = Phase::kConnected;
  connection.state = kStateConnected;
  connection.error = 0;
  connection.connected_at = GetTickCount64();
  connection.client_ip = ClientAddress(config_.client_ip, connection.serial);
}

void Service::HangUp(Connection& connection) {
  if (connection.hung_up) return;
  connection.hung_up = true;
  connection.invalid_at = GetTickCount64() + static_cast<ULONGLONG>(config_.hangup_delay_ms);
}

void Service::Log(const std::string& line) {
  std::lock_guard lock(log_mutex_);
  const std::string path = EnvOr("RASSIM_LOG", kDefaultLog);
  CreateParentDirectory(path);
  std::ofstream out(path, std::ios::binary | std::ios::app);
  // The service's own clock, the one every process of the session shares, so
  // that a test can time what a program does against what the service did.
  out << line << " at=" << GetTickCount64() << "\r\n";
}

std::string Service::PasswordForLog(const std::string& password) const {
  if (config_.log_passwords) return Quoted(password);
  return password.empty() ? "empty" : "set";
}

}  // namespace rassim
