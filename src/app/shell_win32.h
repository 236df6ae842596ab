#pragma once
// Shell and system helpers shared by several windows.
#include <string>

namespace tarnwick {

// Opens a file, program or web address with its associated program. Returns 0,
// or -1 after telling the user "Error starting player program.".
int OpenDocument(const std::string& target);

// Asks the system to take as many pages as it can out of the working set.
void TrimWorkingSet();

bool IsWindowsNT();
bool IsWindows2000OrLater();

// The full path of the running executable.
std::string ExecutablePath();

}  // namespace tarnwick
