#pragma once
// The resize rule of the main window's client panel.
namespace tarnwick {

struct PanelLayout {
  int band_width = 30;  // the left band (Panel2) and its picture
  bool horizontal_scroll = false;
  bool vertical_scroll = false;
};

// `group_right` is the right edge of the lower statistics group, `group_bottom`
// its bottom edge, both in the scroll box; `panel_width` and `panel_height` the
// client panel's size. The band narrows, then vanishes, before the scroll bars come.
PanelLayout LayoutPanel(int group_right, int group_bottom, int panel_width, int panel_height);

}  // namespace tarnwick
