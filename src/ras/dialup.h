#pragma once
// TDialUp: the one component through which the program talks to the Remote
// Access Service. Operations return RAS codes (0 = success); a missing RAS
// library raises Error. All operations and events run on the user-interface
// thread that created the component; asynchronous dial progress reaches it
// through DialHandoff and the component's 1 ms timer.
//
// Records passed to RAS are the structures of MinGW's <ras.h> built for
// _WIN32_WINNT 0x0601 on x64, with dwSize = sizeof: RASDIALPARAMSA 1068,
// RASENTRYNAMEA 532, RASCONNA 708, RASCONNSTATUSA 288, RASPPPIPA 48.
#include <windows.h>
// <ras.h> after <windows.h>.
#include <ras.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ras/dialup_handoff.h"
#include "ras/ras_types.h"

namespace tarnwick {

class TDialUp;

using TOnEntryGet = std::function<void(TDialUp& Sender, const char* EntryName)>;
using TStandartEv = std::function<void(TDialUp& Sender)>;
using TOnNotConn =
    std::function<void(TDialUp& Sender, int ErrorCode, const std::string& ErrorMessage)>;
using TOnAsyncEvent =
    std::function<void(TDialUp& Sender, int State, int Error, const std::string& MessageText)>;
using TOnError = TOnNotConn;
using TOnActiveConn =
    std::function<void(TDialUp& Sender, RasHandle Handle, const RASCONNSTATUSA& Status,
                       const std::string& StatusString, const char* EntryName,
                       const char* DeviceType, const char* DeviceName)>;

// Processes pending window messages during the hang-up wait. The program
// supplies its own (it knows about quitting); the default dispatches the
// calling thread's messages and re-posts WM_QUIT.
using MessagePump = std::function<void()>;

// The statistics of the connection (bytes sent and received, line speed) are
// read by a separate part that plugs in here; without it the figures stay 0.
class DialUpStatistics {
 public:
  virtual ~DialUpStatistics() = default;
  virtual bool InitStatistics(TDialUp& dialup, bool start, bool find_adapter,
                              const std::string& device_name) = 0;
  virtual bool GetStatistics(TDialUp& dialup) = 0;
  virtual uint32_t BytesXmit() const = 0;
  virtual uint32_t BytesRecv() const = 0;
  virtual uint32_t ConnectionSpeed() const = 0;
};

// Timer ids of the component's hidden window.
inline constexpr UINT_PTR kDialUpDeliveryTimerId = 1;
inline constexpr UINT kDialUpDeliveryIntervalMs = 1;

// Bounds of the waits.
inline constexpr std::chrono::milliseconds kHangUpWait{10000};
inline constexpr std::chrono::milliseconds kNotifierSlotWait{10000};

// The enumeration buffers hold this many records.
inline constexpr int kRasEnumCapacity = 100;

class TDialUp {
 public:
  TDialUp();
  ~TDialUp();
  TDialUp(const TDialUp&) = delete;
  TDialUp& operator=(const TDialUp&) = delete;

  // Properties.
  TDialMode DialMode = dmAsync;
  std::string Entry;
  const std::vector<std::string>& Entries() const { return entries_; }
  TRasLanguage Language() const { return language_; }
  void SetLanguage(TRasLanguage language);
  const std::string& ServerIP() const { return server_ip_; }
  const std::string& ClientIP() const { return client_ip_; }
  // The connection this instance dialed, or one its owner assigned (0 = none).
  RasHandle ConnHandle = 0;

  // Events.
  TOnEntryGet OnEntryGet;
  TStandartEv OnDialing;
  TStandartEv OnConnect;
  TOnNotConn OnNotConnected;
  TOnAsyncEvent OnAsyncEvent;
  TOnError OnError;
  TOnActiveConn OnActiveConnection;

  // Operations.
  int Dial();
  int GetEntries();
  int GetConnections(int& count);
  int HangUp() { return HangUpConn(ConnHandle); }
  int HangUpConn(RasHandle handle);
  int SetEntryUserName(const std::string& user_name);
  int SetEntryPassword(const std::string& password);
  int GetEntryUserName(std::string& user_name);
  int GetEntryPassword(std::string& password);
  std::string StatusText(int state, int error);
  int GetIPAddresses(RasHandle handle);

  // Statistics, forwarded to the plugged-in part (false / 0 without one).
  void SetStatistics(std::unique_ptr<DialUpStatistics> statistics);
  DialUpStatistics* Statistics() const { return statistics_.get(); }
  bool InitStatistics(bool start, bool find_adapter, const std::string& device_name);
  bool GetStatistics();
  uint32_t BytesXmit() const { return statistics_ ? statistics_->BytesXmit() : 0; }
  uint32_t BytesRecv() const { return statistics_ ? statistics_->BytesRecv() : 0; }
  uint32_t ConnectionSpeed() const { return statistics_ ? statistics_->ConnectionSpeed() : 0; }

  void SetMessagePump(MessagePump pump) { pump_ = std::move(pump); }
  // Asked by Dial after its hang-up, whose wait processes messages: when it
  // says stop (the owner closed or the program ends meanwhile), Dial returns
  // ERROR_CANCELLED without calling RAS.
  void SetDialGuard(std::function<bool()> stop) { dial_guard_ = std::move(stop); }
  // Default 10 s; tests shorten it.
  void SetHangUpWait(std::chrono::milliseconds bound) { hang_up_wait_ = bound; }

  // The component's hidden message-only window (timer and notification wake-up).
  HWND Window() const { return window_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void DeliveryTick();
  void BecomeCurrentDialer();
  std::string ErrorText(int code);
  int ReadDialParams(RASDIALPARAMSA& params, BOOL& password_saved);

  HWND window_ = nullptr;
  std::shared_ptr<DialHandoff> handoff_ = std::make_shared<DialHandoff>();
  std::vector<std::string> entries_;
  std::string server_ip_;
  std::string client_ip_;
  TRasLanguage language_ = ralgEnglish;
  int text_base_ = 2000;
  MessagePump pump_;
  std::function<bool()> dial_guard_;
  std::chrono::milliseconds hang_up_wait_ = kHangUpWait;
  std::unique_ptr<DialUpStatistics> statistics_;
};

// The process-wide RAS function look-up (lazy load of rasapi32.dll, falling back
// to rnaph.dll), for the statistics part as well. Throws Error.
void* GetRasProc(const std::string& function);

}  // namespace tarnwick
