#pragma once
// Plain container windows of the main window: a white panel that passes its
// children's commands and notifications up to the top-level window, the band
// that stretches its pattern over its height, and a scroll box whose scroll bars
// move its children.
#include <windows.h>

#include <vector>

namespace tarnwick {

inline constexpr const char* kPanelClass = "TarnwickPanel";
inline constexpr const char* kBandClass = "TarnwickBand";
inline constexpr const char* kScrollBoxClass = "TarnwickScrollBox";

void RegisterPanelClasses();

// The band's pattern (a 30 x 1 bitmap); the band does not own it.
void SetBandPattern(HWND band, HBITMAP pattern);

// Etched frames the scroll box draws under its children (its group boxes).
void SetGroupFrames(HWND scroll_box, std::vector<RECT> frames);

// The size of the scroll box's contents, in its client coordinates.
void SetScrollExtent(HWND scroll_box, int width, int height);

}  // namespace tarnwick
