// The machine's local time and code page, as the mail headers need them.
#include <windows.h>

#include "net/mail_date.h"
#include "net/transport_win32.h"

namespace tarnwick::net {

MailTime CurrentMailTime() {
  SYSTEMTIME local;
  GetLocalTime(&local);
  TIME_ZONE_INFORMATION zone;
  LONG bias = 0;  // UTC minus local, in minutes
  switch (GetTimeZoneInformation(&zone)) {
    case TIME_ZONE_ID_STANDARD:
      bias = zone.Bias + zone.StandardBias;
      break;
    case TIME_ZONE_ID_DAYLIGHT:
      bias = zone.Bias + zone.DaylightBias;
      break;
    case TIME_ZONE_ID_UNKNOWN:
      bias = zone.Bias;
      break;
    default:
      break;
  }
  return {local.wYear,   local.wMonth,           local.wDay, local.wHour, local.wMinute,
          local.wSecond, static_cast<int>(-bias)};
}

unsigned SystemCodePage() {
  return GetACP();
}

}  // namespace tarnwick::net
