#pragma once
// The page a new FTP step publishes until the user edits it. Shared by the new
// step's defaults and the FTP step, so both always agree.
#include <string_view>

namespace tarnwick {

inline constexpr std::string_view kMakerWebSite = "https://www.fenmoor.example/";

inline constexpr std::string_view kDefaultPageTemplate =
    "<HTML><HEAD>\r\n"
    "<TITLE>Tarnwick IP Notification</TITLE></HEAD>\r\n"
    "<BODY><H3>Your current IP Address is: <IPADDRESS></H3><BR><BR><HR>\r\n"
    "<font size=\"2\" color=\"navy\">IP Notification provided by "
    "<a href=\"https://www.fenmoor.example/\">Tarnwick</a></font></BODY></HTML>\r\n";

}  // namespace tarnwick
