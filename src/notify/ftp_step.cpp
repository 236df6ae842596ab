#include "notify/ftp_step.h"

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "app/text_utils.h"
#include "net/ftp_client.h"
#include "notify/page_template.h"
#include "notify/placeholder.h"

namespace tarnwick {

using net::CheckLineSafe;
using net::FtpClient;

bool DiskPageFiles::Write(const std::string& path, std::string_view bytes) {
  // C stdio rather than iostreams: the streams' locale machinery would double
  // the size of the statically linked program.
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

void DiskPageFiles::Remove(const std::string& path) {
  std::remove(path.c_str());
}

std::string UserTempDir() {
  // Where the system's own temporary-path lookup looks first.
  for (const char* name : {"TMP", "TEMP", "TMPDIR"}) {
    const char* value = std::getenv(name);
    if (!value || !*value) continue;
    std::string dir = value;
    // The separator the value itself uses.
    if (dir.back() != '/' && dir.back() != '\\')
      dir += dir.find('\\') != std::string::npos ? '\\' : '/';
    return dir;
  }
  return "";
}

FtpPathParts SplitFtpPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {"", path};
  return {path.substr(0, slash), path.substr(slash + 1)};
}

namespace {

struct Upload {
  std::string server;
  int32_t port = 0;
  std::string path;
  std::string user;
  std::string password;
  std::string html;
  net::FtpOptions options;
};

// Writes the page beside the program, or in the temporary directory when the
// program's folder is read-only. Returns the path written.
std::string WritePage(const FtpDeps& deps, const std::string& page) {
  const std::string primary = deps.program_dir + kTempPageName;
  if (deps.files.Write(primary, page)) return primary;
  if (!deps.temp_dir.empty()) {
    const std::string fallback = deps.temp_dir + kTempPageName;
    if (deps.files.Write(fallback, page)) return fallback;
  }
  throw Error("Cannot create file \"" + primary + "\".");
}

void Run(const Upload& job, const std::string& address, const FtpDeps& deps,
         const std::function<void()>& after_quit) {
  // Everything that goes into a command line is checked before connecting.
  CheckLineSafe(job.user, "FTP user name");
  CheckLineSafe(job.password, "FTP password");
  CheckLineSafe(job.path, "FTP path");
  if (job.path.size() > kMaxFtpPathLength) {
    throw Error("The FTP path is longer than " + std::to_string(kMaxFtpPathLength) +
                " characters.");
  }
  if (job.port < 1 || job.port > 65535) {
    throw Error("Invalid port number: " + std::to_string(job.port) + ".");
  }
  const FtpPathParts parts = SplitFtpPath(job.path);
  FtpClient client(deps.network, deps.clock);
  client.SetOptions(job.options);
  std::string written;
  try {
    client.Connect(job.server, static_cast<uint16_t>(job.port), job.user, job.password);
    if (!parts.directory.empty()) client.ChangeDir(parts.directory);
    const std::string page = ReplaceAllPlaceholders(job.html, address);
    written = WritePage(deps, page);
    client.Store(page, parts.file);
  } catch (const Error&) {
    client.Quit();
    throw;
  }
  client.Quit();
  if (after_quit) after_quit();
  deps.files.Remove(written);
}

}  // namespace

void UploadPageStep(const Notif& step, const std::string& address, const FtpDeps& deps) {
  const FtpNotif& f = step.FTPNotifr;
  Run({f.FTPServer, f.FTPPort, f.FTPPath, f.FTPUser, f.FTPPass, f.FTPHTML,
       {f.FTPPassive != 0, f.FTPSecure != 0}},
      address, deps, {});
}

void TestUploadPage(const FtpTestFields& fields, const std::string& address, const FtpDeps& deps,
                    ScreenPoint box_pos) {
  const std::optional<int32_t> port = TryStrToInt(fields.port);
  if (!port) {
    ShowWarning("Invalid port number: not a numeric value.", box_pos);
    return;
  }
  Run({fields.server, *port, fields.path, fields.user, fields.password, fields.html,
       {fields.passive, fields.tls}},
      address, deps,
      [&] { ShowWarning("FTP Successful", box_pos); });
}

}  // namespace tarnwick
