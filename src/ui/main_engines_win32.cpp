#include "ui/main_engines_win32.h"

namespace tarnwick {

MainEngines::MainEngines(const MainEnginesDeps& d)
    : raw_icmp_([&pump = d.pump] { pump.ProcessMessages(); },
                [&pump = d.pump] { return pump.Quitting(); }),
      icmp_network_(
          raw_icmp_, [&pump = d.pump] { pump.ProcessMessages(); },
          [&pump = d.pump] { return pump.Quitting(); }),
      icmp_(icmp_network_),
      http_(d.network),
      view_(d.not_connected_picture, d.status_bar),
      keepalive_(KeepAliveDeps{d.settings, d.tmKeepAlive, view_, icmp_, http_, d.pump, d.activity}),
      scheduler_(SchedulerDeps{d.settings, d.tmScheduler, clock_, d.dialer}) {}

}  // namespace tarnwick
