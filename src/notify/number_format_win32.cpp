#include "notify/number_format_win32.h"

#include <windows.h>

namespace tarnwick {

NumberFormat UserNumberFormat() {
  NumberFormat format;
  char text[8] = {};  // both values are at most 3 characters and the terminator
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, text, sizeof text) > 0) {
    format.thousands = text;  // may be empty: grouping without a separator
  }
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, sizeof text) > 1) {
    format.decimal = text[0];
  }
  return format;
}

}  // namespace tarnwick
