#pragma once
// The menu bar of the main window (MainMenu1) and the tray menu (PopupMenu1).
#include <windows.h>

namespace tarnwick {

enum MainMenuCommand : UINT {
  kCmdViewMainWindow = 100,  // ViewMainWindow1
  kCmdExitProgram,           // ExitProgram1
  kCmdClose,                 // Close1
  kCmdEmailSettings,         // emailSettings1
  kCmdAutoStart,             // mnuAutoStart
  kCmdSupport,               // Support1
  kCmdOtherProducts,         // OtherProducts1
  kCmdContents,              // Contents1
  kCmdAbout,                 // About1
  kCmdViewActivityLog,       // File > View Activity Log
  kCmdActivityLog,           // Options > Activity Log...
};
// The uninstaller ends a running instance with this command (packaging/tarnwick.nsi).
static_assert(kCmdExitProgram == 101, "the installer sends 101 to exit");

HMENU CreateMainMenu();
HMENU CreateTrayMenu();

}  // namespace tarnwick
