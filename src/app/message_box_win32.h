#pragma once
// The real message boxes: installs the handler that shows them with MessageBoxA.
namespace tarnwick {

void InstallWin32MessageBoxes();

// The hooks that place positioned boxes, installed by this thread and not yet
// removed: one per positioned box that is open.
int PositionHooksInstalled();

}  // namespace tarnwick
