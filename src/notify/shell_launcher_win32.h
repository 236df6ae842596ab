#pragma once
#include "notify/steps.h"

namespace tarnwick {

// ShellExecuteA with the desktop window as owner, verb "open", no working
// directory, SW_SHOWNORMAL. The shell's result is ignored.
class Win32ShellLauncher : public ShellLauncher {
 public:
  void Open(const std::string& file, const std::string& parameters) override;
};

}  // namespace tarnwick
