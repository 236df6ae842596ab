#include "ui/main_layout.h"

namespace tarnwick {

PanelLayout LayoutPanel(int group_right, int group_bottom, int panel_width, int panel_height) {
  PanelLayout layout;
  if (group_right + 40 < panel_width) {
    layout.band_width = 30;
  } else if (panel_width < group_right + 10) {
    layout.band_width = 0;
  } else {
    layout.band_width = panel_width - group_right - 10;
  }
  layout.horizontal_scroll = panel_width <= group_right + 10;
  layout.vertical_scroll = group_bottom >= panel_height;
  return layout;
}

}  // namespace tarnwick
