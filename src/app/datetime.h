#pragma once
// Date-times are doubles counting days since 30 December 1899, the fraction being
// the time of day, as the stored settings hold them. Texts use the process-wide
// formats fixed at start-up.
#include <string>

namespace tarnwick {

inline constexpr const char* kShortDateFormat = "M/d/yyyy";
inline constexpr const char* kLongTimeFormat = "hh:mm:ssAM/PM";
inline constexpr char kDateSeparator = '/';

// Reads a time of day such as "08:00:00 AM", "8:00" or "20:15:30": hours, minutes,
// optional seconds, optional AM/PM (any letter case, with or without a space).
// Throws Error("'<text>' is not a valid time") for anything else.
double StrToTime(const std::string& text);

// Writes a time of day in the long time format: "08:00:00AM".
std::string TimeToStr(double datetime);

}  // namespace tarnwick
