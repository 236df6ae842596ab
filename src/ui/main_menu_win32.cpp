#include "ui/main_menu_win32.h"

#include <initializer_list>

namespace tarnwick {
namespace {

struct Item {
  UINT command;  // 0: separator
  const char* text;
};

HMENU Popup(std::initializer_list<Item> items) {
  HMENU menu = CreatePopupMenu();
  for (const Item& item : items) {
    if (item.command) {
      AppendMenuA(menu, MF_STRING, item.command, item.text);
    } else {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    }
  }
  return menu;
}

}  // namespace

HMENU CreateMainMenu() {
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_POPUP,
              reinterpret_cast<UINT_PTR>(Popup({{kCmdViewActivityLog, "View Activity Log"},
                                                {0, nullptr},
                                                {kCmdClose, "Close"}})),
              "File");
  AppendMenuA(bar, MF_POPUP,
              reinterpret_cast<UINT_PTR>(
                  Popup({{kCmdEmailSettings, "email Settings..."},
                         {kCmdActivityLog, "Activity Log..."},
                         {0, nullptr},
                         {kCmdAutoStart, "Start Tarnwick on Windows Startup"}})),
              "Options");
  AppendMenuA(bar, MF_POPUP,
              reinterpret_cast<UINT_PTR>(Popup({{kCmdSupport, "Support..."},
                                                {0, nullptr},
                                                {kCmdOtherProducts,
                                                 "Fenmoor Software Home Page..."}})),
              "Links");
  AppendMenuA(bar, MF_POPUP,
              reinterpret_cast<UINT_PTR>(
                  Popup({{kCmdContents, "Contents..."}, {0, nullptr}, {kCmdAbout, "About"}})),
              "Help");
  return bar;
}

HMENU CreateTrayMenu() {
  return Popup({{kCmdViewMainWindow, "&View Tarnwick Window"}, {kCmdExitProgram, "E&xit Tarnwick"}});
}

}  // namespace tarnwick
