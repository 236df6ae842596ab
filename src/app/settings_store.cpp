#include "app/settings_store.h"

#include <algorithm>
#include <memory>

#include "app/error.h"
#include "app/message_box.h"
#include "app/settings_table.h"

namespace tarnwick {
namespace {

// Layouts older than this stored no per-step `maxretries` and `sseconds`.
constexpr double kFirstVersionWithStepCounts = 1.01;

// The kind given to a step whose kind code cannot be read: a run passes over it
// and a save writes back only its kind, leaving the other stored values alone.
constexpr uint8_t kUnknownKind = 0xFF;

// Bounds of what a load reads, whatever a damaged count says.
constexpr int32_t kMaxWeekdays = 7;

std::string Quoted(const std::string& name) { return "'" + name + "'"; }

const char* KeyPath(StoredKey key) { return key == StoredKey::kMain ? kMainKey : kProductKey; }

class Reader {
 public:
  Reader(RegistryStore& registry, LoadReport& report) : registry_(registry), report_(report) {}

  // Opens `path` for reading unless it is the key already open. A load never
  // creates a key. Returns the open's error code (0 when the key is open).
  uint32_t Open(const std::string& path) {
    if (path == path_) return key_ ? kRegOk : error_;
    path_ = path;
    error_ = kRegOk;
    key_ = registry_.Open(path, false, RegAccess::kRead, &error_);
    if (!key_ && error_ == kRegOk) error_ = kRegFileNotFound;
    return key_ ? kRegOk : error_;
  }

  // Each read leaves `out` unchanged when the value is missing or of the wrong
  // type, records the problem and returns false. A missing value is a problem
  // only when `required`.
  bool Text(const char* name, std::string& out, bool required = true) {
    auto value = Get(name, required);
    if (!value) {
      if (required) out.clear();  // a missing text reads as empty text
      return false;
    }
    auto text = AsText(*value);
    if (!text) return WrongType(name);
    out = *text;
    return true;
  }

  bool Integer(const char* name, int32_t& out, bool required = true) {
    auto value = Get(name, required);
    if (!value) return false;
    auto number = AsDword(*value);
    if (!number) return WrongType(name);
    out = *number;
    return true;
  }

  bool Byte(const char* name, uint8_t& out) {
    int32_t number = 0;
    if (!Integer(name, number)) return false;
    out = static_cast<uint8_t>(number & 0xFF);
    return true;
  }

  bool Boolean(const char* name, bool& out) {
    int32_t number = 0;
    if (!Integer(name, number)) return false;
    out = number != 0;
    return true;
  }

  bool Real(const char* name, double& out) {
    auto value = Get(name, true);
    if (!value) return false;
    auto number = AsDouble(*value);
    if (!number) return WrongType(name);
    out = *number;
    return true;
  }

  void Problem(const std::string& text) { report_.problems.push_back(text); }

 private:
  std::optional<RegistryValue> Get(const char* name, bool required) {
    std::optional<RegistryValue> value;
    if (key_) value = key_->Read(name);
    if (!value && required) Problem("Failed to get data for " + Quoted(name));
    return value;
  }

  bool WrongType(const char* name) {
    Problem("Invalid data type for " + Quoted(name));
    return false;
  }

  RegistryStore& registry_;
  LoadReport& report_;
  std::string path_;
  uint32_t error_ = kRegOk;
  std::unique_ptr<RegistryKey> key_;
};

// Whether a layout stores the per-step `maxretries` and `sseconds`.
enum class StepCounts {
  kStored,   // version 1.01 or later
  kNone,     // an older version: they read as 0
  kUnknown,  // no readable version: read where the tree has them
};

class Loader {
 public:
  Loader(Settings& settings, RegistryStore& registry, LoadReport& report)
      : s_(settings), reader_(registry, report) {}

  void Load(const SettingValue& row) {
    reader_.Open(KeyPath(row.key));
    switch (row.kind) {
      case ValueKind::kVersion:
        if (reader_.Real(row.name, s_.version)) {
          counts_ = s_.version >= kFirstVersionWithStepCounts ? StepCounts::kStored
                                                              : StepCounts::kNone;
        } else {
          ShowWarning("Error retrieving version number.");
          s_.version = 0;
          // A tree that lost its version may still hold the newer values:
          // reading them keeps the save that follows from writing zeros over them.
          counts_ = StepCounts::kUnknown;
        }
        break;
      case ValueKind::kStepCount:
        // Registry names ignore letter case; the load has always asked for this spelling.
        reader_.Integer("notifcnt", step_count_);
        break;
      case ValueKind::kSteps:
        LoadSteps();
        break;
      case ValueKind::kWeekdayCount:
        reader_.Integer(row.name, weekday_count_);
        break;
      case ValueKind::kWeekdays: {
        std::string text;
        reader_.Text(row.name, text);
        DecodeWeekdays(text);
        break;
      }
      default:
        LoadValue(row);
        break;
    }
  }

 private:
  void LoadValue(const SettingValue& row) {
    std::visit(
        [&](auto member) {
          if constexpr (!std::is_same_v<decltype(member), std::monostate>) {
            if (row.optional) {
              ReadOptional(row, Field(s_, member));
            } else {
              Read(row.name, Field(s_, member));
            }
          }
        },
        row.member);
  }

  // A value the tree does not have yet takes its default, whatever the record held.
  void ReadOptional(const SettingValue& row, std::string& out) {
    if (!reader_.Text(row.name, out, false)) out = std::get<const char*>(row.fallback);
  }
  void ReadOptional(const SettingValue& row, int32_t& out) {
    if (!reader_.Integer(row.name, out, false)) out = std::get<int32_t>(row.fallback);
  }
  template <typename T>
  void ReadOptional(const SettingValue& row, T& out) {
    Read(row.name, out);
  }

  void Read(const char* name, std::string& out, bool required = true) {
    reader_.Text(name, out, required);
  }
  void Read(const char* name, int32_t& out, bool required = true) {
    reader_.Integer(name, out, required);
  }
  void Read(const char* name, bool& out) { reader_.Boolean(name, out); }
  void Read(const char* name, uint8_t& out) { reader_.Byte(name, out); }
  void Read(const char* name, double& out) { reader_.Real(name, out); }

  // Notif1 to Notif<count>, up to the first step that is not stored: a count
  // beyond the stored steps (a damaged one) loads the steps that are there, and
  // the save that follows writes the count they make.
  void LoadSteps() {
    s_.notifs.clear();
    const int32_t wanted = std::clamp<int32_t>(step_count_, 0, kMaxStoredSteps);
    for (int32_t n = 1; n <= wanted; ++n) {
      const uint32_t error = reader_.Open(NotifKeyPath(n));
      if (error == kRegFileNotFound) {
        reader_.Problem("Missing key " + Quoted(NotifKeyPath(n)));
        return;
      }
      Notif& step = s_.notifs.emplace_back();
      LoadStep(step);
    }
    if (step_count_ > wanted) reader_.Problem("Invalid value for 'Notifcnt'");
  }

  void LoadStep(Notif& step) {
    if (!reader_.Byte("NotifyMethod", step.NotifyMethod)) {
      step.NotifyMethod = kUnknownKind;
      return;
    }
    for (const StepValue& row : StepValues()) {
      if (row.step_kind != step.NotifyMethod || !row.read_back) continue;
      if (row.needs_counts && counts_ == StepCounts::kNone) continue;  // they stay 0
      const bool required =
          !row.optional && (!row.needs_counts || counts_ == StepCounts::kStored);
      std::visit([&](auto member) { Read(row.name, Field(step, member), required); }, row.member);
    }
  }

  // `scheddays` holds single-digit weekday numbers separated by one character
  // each. An entry that cannot be decoded stays 0; the warning is shown once.
  void DecodeWeekdays(const std::string& text) {
    int32_t count = weekday_count_;
    if (count > kMaxWeekdays) {
      // No week has more days: the count is damaged. The list is what the text holds.
      count = std::min<int32_t>(kMaxWeekdays, static_cast<int32_t>((text.size() + 1) / 2));
      reader_.Problem("Invalid value for 'schedwdaynum'");
    }
    s_.weekdays.assign(count > 0 ? count : 0, 0);
    bool warned = false;
    for (size_t p = 1; p <= s_.weekdays.size(); ++p) {
      const size_t index = 2 * p - 2;
      if (index < text.size() && text[index] >= '0' && text[index] <= '9') {
        s_.weekdays[p - 1] = text[index] - '0';
      } else if (!warned) {
        ShowWarning("Error reading weekday string");
        warned = true;
      }
    }
  }

  Settings& s_;
  Reader reader_;
  StepCounts counts_ = StepCounts::kNone;
  int32_t step_count_ = 0;
  int32_t weekday_count_ = 0;
};

class Writer {
 public:
  explicit Writer(RegistryStore& registry) : registry_(registry) {}

  // Opens (creating) `path` unless it is the key already open.
  void Open(const std::string& path) {
    if (path == path_) return;
    path_ = path;
    key_ = registry_.Open(path, true, RegAccess::kAll);
  }

  void Text(const char* name, const std::string& text) { Put(name, RegText(text)); }
  void Integer(const char* name, int32_t value) { Put(name, RegDword(value)); }
  void Boolean(const char* name, bool value) { Put(name, RegDword(value ? 1 : 0)); }
  void Real(const char* name, double value) { Put(name, RegDouble(value)); }

 private:
  void Put(const char* name, const RegistryValue& value) {
    if (!key_ || key_->Write(name, value) != kRegOk) {
      throw Error("Failed to set data for " + Quoted(name));
    }
  }

  RegistryStore& registry_;
  std::string path_;
  std::unique_ptr<RegistryKey> key_;
};

void Write(Writer& writer, const char* name, const std::string& value) { writer.Text(name, value); }
void Write(Writer& writer, const char* name, int32_t value) { writer.Integer(name, value); }
void Write(Writer& writer, const char* name, bool value) { writer.Boolean(name, value); }
void Write(Writer& writer, const char* name, uint8_t value) { writer.Integer(name, value); }
void Write(Writer& writer, const char* name, double value) { writer.Real(name, value); }

void SaveStep(Writer& writer, const Notif& step) {
  writer.Integer("NotifyMethod", step.NotifyMethod);
  for (const StepValue& row : StepValues()) {
    if (row.step_kind != step.NotifyMethod) continue;
    std::visit([&](auto member) { Write(writer, row.name, Field(step, member)); }, row.member);
  }
}

void Save(Writer& writer, const SettingValue& row, const Settings& s) {
  switch (row.kind) {
    case ValueKind::kVersion:
      writer.Real(row.name, kSettingsVersion);
      break;
    case ValueKind::kStepCount:
      writer.Integer(row.name, static_cast<int32_t>(s.notifs.size()));
      break;
    case ValueKind::kSteps:
      for (size_t n = 1; n <= s.notifs.size(); ++n) {
        writer.Open(NotifKeyPath(static_cast<int>(n)));
        SaveStep(writer, s.notifs[n - 1]);
      }
      break;
    case ValueKind::kWeekdayCount:
      writer.Integer(row.name, static_cast<int32_t>(s.weekdays.size()));
      break;
    case ValueKind::kWeekdays:
      writer.Text(row.name, FormatWeekdays(s.weekdays));
      break;
    default:
      std::visit(
          [&](auto member) {
            if constexpr (!std::is_same_v<decltype(member), std::monostate>) {
              Write(writer, row.name, Field(s, member));
            }
          },
          row.member);
      break;
  }
}

}  // namespace

std::string NotifKeyPath(int position) {
  return std::string(kProductKey) + "\\Notif" + std::to_string(position);
}

LoadReport LoadSettings(Settings& settings, RegistryStore& registry) {
  std::vector<const SettingValue*> rows;
  for (const SettingValue& row : SettingValues()) rows.push_back(&row);
  std::sort(rows.begin(), rows.end(), [](const SettingValue* a, const SettingValue* b) {
    return a->load_position < b->load_position;
  });
  LoadReport report;
  Loader loader(settings, registry, report);
  for (const SettingValue* row : rows) loader.Load(*row);
  return report;
}

void SaveSettings(const Settings& settings, RegistryStore& registry) {
  Writer writer(registry);
  for (const SettingValue& row : SettingValues()) {
    if (row.kind != ValueKind::kSteps) writer.Open(KeyPath(row.key));
    Save(writer, row, settings);
  }
}

}  // namespace tarnwick
