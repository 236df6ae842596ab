#pragma once
// Process-wide start-up state and the rules of start-up and closing that do not
// need the platform.
#include <string>
#include <vector>

#include "app/registry.h"
#include "app/settings.h"
#include "app/version.h"

namespace tarnwick {

inline constexpr const char* kVersionText = TARNWICK_VERSION_TEXT;
inline constexpr const char* kStartupSwitch = "startup";

struct StartupFlags {
  std::string ProgramDir;      // the executable's folder with its trailing backslash
  bool FirstStart = false;     // the product key did not exist at start-up
  bool StartupLaunch = false;  // started with the "startup" switch (hidden, in the tray)
  bool SessionEnding = false;  // Windows is ending the session; the close query's answer
};

// True when any argument, the program path at position 0 included, is "startup"
// in any letter case.
bool HasStartupSwitch(const std::vector<std::string>& args);

// Everything up to and including the last backslash.
std::string ProgramDirOf(const std::string& exe_path);

// Where the settings live. The machine root when the product key can be opened or
// created there with full access; otherwise (a standard user on current Windows)
// the user's root with the same key paths.
struct SettingsRoot {
  RegistryStore* store = nullptr;
  bool product_key_existed = false;
};
SettingsRoot ChooseSettingsRoot(RegistryStore& machine, RegistryStore& user);

// Defaults, then the stored settings: an incomplete tree is completed by a save,
// a missing one is created with the defaults. Returns whether this is a first
// start (the product key did not exist). Throws Error when that save fails; a
// first start then leaves no product key behind, so the next start is a first
// start too.
bool BringInSettings(Settings& settings, const SettingsRoot& root);

enum class WindowState { kNormal, kMaximized, kMinimized };

struct WindowRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// The close query's record of the window: a normal window stores its bounds and
// Status 0, a maximized one Status 1, a minimized one nothing. Returns whether
// the settings must then be written.
bool RecordWindowOnClose(WindowState state, const WindowRect& bounds, WindowGeometry& geometry);

// Exit stores the bounds whatever the state; Status keeps its value.
void RecordWindowOnExit(const WindowRect& bounds, WindowGeometry& geometry);

}  // namespace tarnwick
