#include "ui/method_form.h"

#include "app/text_utils.h"
#include "notify/notif_text.h"

namespace tarnwick {

MethodForm MethodFormFrom(const Notif* step) {
  MethodForm form;
  if (!step) {
    const Notif fresh = NewNotif();
    form.subject = fresh.emailNotifr.esubject;
    form.message = fresh.emailNotifr.emessage;
    form.ftp_port = std::to_string(fresh.FTPNotifr.FTPPort);
    form.html = fresh.FTPNotifr.FTPHTML;
    form.retries = std::to_string(fresh.emailNotifr.maxretries);
    form.sleep = std::to_string(fresh.sseconds);
    return form;
  }
  switch (step->NotifyMethod) {
    case kNotifyEmail: {
      const EmailNotif& e = step->emailNotifr;
      form.from = e.eFrom;
      form.to = e.ETo;
      form.subject = e.esubject;
      form.message = e.emessage;
      form.retries = std::to_string(e.maxretries);
      break;
    }
    case kNotifyFtp: {
      const FtpNotif& f = step->FTPNotifr;
      form.ftp_server = f.FTPServer;
      form.ftp_port = std::to_string(f.FTPPort);
      form.ftp_path = f.FTPPath;
      form.html = f.FTPHTML;
      form.ftp_user = f.FTPUser;
      form.ftp_password = f.FTPPass;
      form.ftp_passive = f.FTPPassive != 0;
      form.ftp_tls = f.FTPSecure != 0;
      break;
    }
    case kNotifyLaunch:
      form.app = step->LaunchNotifr.LnchApp;
      form.parameters = step->LaunchNotifr.LnchParam;
      break;
    case kNotifySleep:
      form.sleep = std::to_string(step->sseconds);
      break;
    default:
      // No radio button stands for it: what the user sees is what OK makes.
      return form;
  }
  form.kind = step->NotifyMethod;
  return form;
}

namespace {

constexpr const char* kNeedAddresses = "email From and To addresses required";

std::optional<MethodRefusal> Check(const MethodForm& form) {
  using F = MethodField;
  const std::optional<int32_t> retries = TryStrToInt(form.retries);
  if (!retries) return MethodRefusal{"Invalid maximum retry value.", F::kRetries, true};
  if (*retries < kMailRetriesSpin.min || *retries > kMailRetriesSpin.max) {
    return MethodRefusal{"Invalid value for maximum retries.", F::kRetries, true};
  }
  const std::optional<int32_t> sleep = TryStrToInt(form.sleep);
  if (!sleep) return MethodRefusal{"Invalid sleep value.", F::kSleep, true};
  if (*sleep < kSleepSpin.min || *sleep > kSleepSpin.max) {
    return MethodRefusal{"Invalid value for sleep value.", F::kSleep, true};
  }
  switch (form.kind) {
    case kNotifyEmail:
      if (form.from.empty()) return MethodRefusal{kNeedAddresses, F::kFrom, false};
      if (form.to.empty()) return MethodRefusal{kNeedAddresses, F::kTo, false};
      break;
    case kNotifyFtp:
      if (form.ftp_server.empty()) {
        return MethodRefusal{"FTP server name required", F::kFtpServer, false};
      }
      if (form.ftp_port.empty())
        return MethodRefusal{"FTP server port required", F::kFtpPort, false};
      if (form.ftp_path.empty())
        return MethodRefusal{"FTP server path required", F::kFtpPath, false};
      if (!TryStrToInt(form.ftp_port)) {
        return MethodRefusal{"Invalid port number: Port must be a number", F::kFtpPort, true};
      }
      break;
    case kNotifyLaunch:
      if (form.app.empty()) return MethodRefusal{"Program/Script not specified.", F::kApp, false};
      break;
    default:
      break;
  }
  return std::nullopt;
}

}  // namespace

std::optional<MethodRefusal> ApplyMethodForm(const MethodForm& form, Notif& step) {
  if (auto refusal = Check(form)) return refusal;
  step.NotifyMethod = static_cast<uint8_t>(form.kind == kNotifyEmail || form.kind == kNotifyFtp ||
                                                   form.kind == kNotifyLaunch
                                               ? form.kind
                                               : kNotifySleep);
  EmailNotif& e = step.emailNotifr;
  e.eFrom = form.from;
  e.ETo = form.to;
  e.esubject = form.subject;
  e.emessage = form.message;
  e.maxretries = *TryStrToInt(form.retries);
  FtpNotif& f = step.FTPNotifr;
  f.FTPServer = form.ftp_server;
  if (step.NotifyMethod == kNotifyFtp) f.FTPPort = *TryStrToInt(form.ftp_port);
  f.FTPPath = form.ftp_path;
  f.FTPHTML = form.html;
  f.FTPUser = form.ftp_user;
  f.FTPPass = form.ftp_password;
  f.FTPPassive = form.ftp_passive ? 1 : 0;
  f.FTPSecure = form.ftp_tls ? 1 : 0;
  step.LaunchNotifr.LnchApp = form.app;
  step.LaunchNotifr.LnchParam = form.parameters;
  step.sseconds = *TryStrToInt(form.sleep);
  return std::nullopt;
}

}  // namespace tarnwick
