#pragma once
// The main window's engines: the keep-alive with its echo and web clients
// (`ICMP`, `IdHTTP1`) and the connect scheduler. They run on the main window's
// timers `tmKeepAlive` and `tmScheduler`, which the watch owns.
#include <windows.h>

#include "app/settings.h"
#include "app/timer_win32.h"
#include "app/waits.h"
#include "keepalive/keepalive_engine.h"
#include "keepalive/keepalive_view_win32.h"
#include "net/http_client.h"
#include "net/icmp_client.h"
#include "net/icmp_fallback_win32.h"
#include "net/icmp_socket_win32.h"
#include "schedule/local_clock_win32.h"
#include "schedule/scheduler.h"

namespace tarnwick {

struct MainEnginesDeps {
  const Settings& settings;
  Timer& tmKeepAlive;
  Timer& tmScheduler;
  HWND not_connected_picture;  // Image3
  HWND status_bar;             // StatusBar1
  net::Network& network;       // for the page fetch
  PumpingSleeper& pump;
  ScheduledDialer& dialer;  // opens the reconnect window for a scheduled dial
  ActivitySink* activity = nullptr;
};

class MainEngines {
 public:
  explicit MainEngines(const MainEnginesDeps& deps);

  KeepAliveEngine& KeepAlive() { return keepalive_; }
  Scheduler& Schedule() { return scheduler_; }
  net::IcmpClient& ICMP() { return icmp_; }
  net::HttpClient& IdHTTP1() { return http_; }

 private:
  net::WinsockIcmpNetwork raw_icmp_;
  net::IcmpFallbackNetwork icmp_network_;
  net::IcmpClient icmp_;
  net::HttpClient http_;
  Win32KeepAliveView view_;
  KeepAliveEngine keepalive_;
  Win32LocalClock clock_;
  Scheduler scheduler_;
};

}  // namespace tarnwick
