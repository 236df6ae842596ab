#pragma once
// Reading and writing the settings under the product key of one registry root.
#include <string>
#include <vector>

#include "app/registry.h"
#include "app/settings.h"

namespace tarnwick {

// Key paths below the root, as the load and save open them.
inline constexpr const char* kProductKey = "\\SOFTWARE\\Fenmoor\\Tarnwick";
inline constexpr const char* kMainKey = "\\SOFTWARE\\Fenmoor\\Tarnwick\\Main";
std::string NotifKeyPath(int position);  // "\SOFTWARE\Fenmoor\Tarnwick\Notif<n>"

// What a load could not take from the registry. Each entry names a value that
// was missing or of the wrong type; it kept its default. A load with problems
// is followed by a save at start-up, which completes the stored tree.
struct LoadReport {
  std::vector<std::string> problems;  // e.g. "Failed to get data for 'startdelay'"
  bool complete() const { return problems.empty(); }
};

// The most steps a load reads, whatever `Notifcnt` says.
inline constexpr int32_t kMaxStoredSteps = 1000;

// Overlays `settings` (already at their defaults) with what is stored. Never
// throws for a missing or damaged value: the value keeps its default and the
// load goes on, so no stored value is lost by the save that follows. Opens keys
// for reading only and never creates one. A damaged count reads what is there:
// the steps up to the first missing Notif<n> subkey (at most kMaxStoredSteps),
// at most seven weekdays. Shows the warnings "Error retrieving version number."
// and "Error reading weekday string".
LoadReport LoadSettings(Settings& settings, RegistryStore& registry);

// Writes every setting; nothing is deleted. Throws Error("Failed to set data for
// '<name>'") at the first value that cannot be written.
void SaveSettings(const Settings& settings, RegistryStore& registry);

}  // namespace tarnwick
