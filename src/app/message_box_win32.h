#pragma once
// The real message boxes: installs the handler that shows them with MessageBoxA.
namespace tarnwick {

void InstallWin32MessageBoxes();

}  // namespace tarnwick
