#include "app/startup.h"

#include "app/error.h"
#include "app/settings_store.h"
#include "app/text_utils.h"

namespace tarnwick {

bool HasStartupSwitch(const std::vector<std::string>& args) {
  for (const auto& arg : args) {
    if (ToLowerAscii(arg) == kStartupSwitch) return true;
  }
  return false;
}

std::string ProgramDirOf(const std::string& exe_path) {
  const size_t slash = exe_path.rfind('\\');
  return slash == std::string::npos ? std::string() : exe_path.substr(0, slash + 1);
}

SettingsRoot ChooseSettingsRoot(RegistryStore& machine, RegistryStore& user) {
  if (machine.Open(kProductKey, false, RegAccess::kAll)) return {&machine, true};
  if (machine.Open(kProductKey, true, RegAccess::kAll)) return {&machine, false};
  const bool existed = user.Open(kProductKey, false, RegAccess::kAll) != nullptr;
  return {&user, existed};
}

bool BringInSettings(Settings& settings, const SettingsRoot& root) {
  SetDefaultSettings(settings);
  if (root.product_key_existed) {
    if (!LoadSettings(settings, *root.store).complete()) SaveSettings(settings, *root.store);
    return false;
  }
  try {
    SaveSettings(settings, *root.store);
  } catch (const Error&) {
    // What this start created is removed, so that the next start is a first
    // start again (centred window, the start with Windows, the welcome) rather
    // than an ordinary one over a partial tree.
    root.store->DeleteTree(kProductKey);
    throw;
  }
  return true;
}

bool RecordWindowOnClose(WindowState state, const WindowRect& bounds, WindowGeometry& geometry) {
  switch (state) {
    case WindowState::kNormal:
      RecordWindowOnExit(bounds, geometry);
      geometry.Status = 0;
      return true;
    case WindowState::kMaximized:
      geometry.Status = 1;
      return true;
    case WindowState::kMinimized:
      break;
  }
  return false;
}

void RecordWindowOnExit(const WindowRect& bounds, WindowGeometry& geometry) {
  geometry.Height = bounds.height;
  geometry.Width = bounds.width;
  geometry.Left = bounds.left;
  geometry.Top = bounds.top;
}

}  // namespace tarnwick
