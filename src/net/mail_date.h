#pragma once
// The mail Date header: "Mon, 3 Mar 2025 09:05:07 +0100".
#include <string>

namespace tarnwick::net {

// A local time of day with its offset from UTC (local minus UTC, in minutes).
struct MailTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int utc_offset_minutes = 0;
};

std::string FormatMailDate(const MailTime& time);

// The current local time of the machine (mail_system_*.cpp).
MailTime CurrentMailTime();

}  // namespace tarnwick::net
