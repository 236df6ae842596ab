#pragma once
// What the dialogs' Wine tests share: settings in an in-memory registry (with
// what a dialog wrote and what a new start would load back), a stand-in main
// window, recorded message boxes, and a dialog shown modally while a
// ModalDriver runs its steps in it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/memory_registry.h"
#include "app/settings_store.h"
#include "support/message_box_recorder.h"
#include "ui/option_dialog_win32.h"
#include "win/ui/info_window_fixture.h"
#include "win/ui/modal_driver.h"

namespace tarnwick::testing {

class DialogRig {
 public:
  DialogRig() {
    SetDefaultSettings(app.settings);
    app.registry = &registry;
  }

  // Shows `dialog` over the stand-in main window while `driver` runs; every
  // step must run and no dialog be left open.
  INT_PTR ShowDriven(OptionDialog& dialog, std::vector<ModalDriver::On> steps) {
    ModalDriver driver(std::move(steps));
    const INT_PTR result = dialog.ShowModal(main.hwnd());
    EXPECT_TRUE(driver.done()) << "a dialog closed before its last step";
    EXPECT_FALSE(driver.left_open()) << "a dialog was still open after its last step";
    return result;
  }
  // The same with every step on `window_class`.
  INT_PTR ShowDriven(OptionDialog& dialog, const char* window_class,
                     std::vector<ModalDriver::Step> steps) {
    std::vector<ModalDriver::On> on;
    for (ModalDriver::Step& step : steps) on.push_back({window_class, std::move(step)});
    return ShowDriven(dialog, std::move(on));
  }

  bool Wrote() const {
    return std::any_of(registry.log.begin(), registry.log.end(),
                       [](const std::string& entry) { return entry.rfind("write", 0) == 0; });
  }

  Settings Stored() {
    Settings stored;
    SetDefaultSettings(stored);
    LoadSettings(stored, registry);
    return stored;
  }

  Application app;
  MemoryRegistry registry;
  MessageBoxRecorder boxes;
  FakeMain main{200, 150, 440, 360};
};

}  // namespace tarnwick::testing
