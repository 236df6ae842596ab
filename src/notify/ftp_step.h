#pragma once
// The FTP step of the notification script and the method editor's test upload:
// the page with the address filled in is written to "tmpdog.html" and stored on
// the server, then the file is deleted.
#include <string>
#include <string_view>

#include "app/message_box.h"
#include "app/settings.h"
#include "net/line_reader.h"
#include "net/transport.h"

namespace tarnwick {

inline constexpr const char* kTempPageName = "tmpdog.html";
inline constexpr size_t kMaxFtpPathLength = 254;

// The file system as the step uses it; tests use one in memory.
class PageFiles {
 public:
  virtual ~PageFiles() = default;
  // Creates or replaces the file with exactly `bytes`; false when it cannot.
  virtual bool Write(const std::string& path, std::string_view bytes) = 0;
  virtual void Remove(const std::string& path) = 0;
};

// The real disk (ANSI paths).
class DiskPageFiles : public PageFiles {
 public:
  bool Write(const std::string& path, std::string_view bytes) override;
  void Remove(const std::string& path) override;
};

struct FtpDeps {
  net::Network& network;
  PageFiles& files;
  std::string program_dir;  // `ProgramDir`, with its trailing separator
  std::string temp_dir;     // used when `program_dir` cannot be written; trailing separator
  net::Clock clock = net::SteadyClock();
};

// The user's temporary directory with a trailing separator, or "" when unknown.
std::string UserTempDir();

struct FtpPathParts {
  std::string directory;
  std::string file;
};
// Split at the last "/": "/pub/mydir/ip.html" -> "/pub/mydir" and "ip.html".
FtpPathParts SplitFtpPath(const std::string& path);

// Uploads the step's page (every "<IPADDRESS>" replaced by `address`). Throws
// Error on any failure, after quitting the connection; nothing is retried.
void UploadPageStep(const Notif& step, const std::string& address, const FtpDeps& deps);

// The editor's values for the test upload; the port is still text.
struct FtpTestFields {
  std::string server;
  std::string port;
  std::string path;
  std::string user;
  std::string password;
  std::string html;
  bool passive = false;
  bool tls = false;
};

// The editor's test upload. A port that is not a number shows a warning at
// `box_pos` and returns; success shows "FTP Successful" there. Any other failure
// throws Error, for the application's standard error box.
void TestUploadPage(const FtpTestFields& fields, const std::string& address, const FtpDeps& deps,
                    ScreenPoint box_pos);

}  // namespace tarnwick
