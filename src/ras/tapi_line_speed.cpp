#include "ras/tapi_line_speed.h"

namespace tarnwick {

namespace {

std::optional<TapiCallHandle> FindCall(Telephony& tapi, uint32_t devices,
                                       const std::string& deviceName) {
  for (uint32_t device = 0; device < devices; ++device) {
    std::optional<uint32_t> version =
        tapi.NegotiateApiVersion(device, kTapiVersionLow, kTapiVersionHigh);
    if (!version) continue;
    std::optional<std::string> name = tapi.LineName(device, *version);
    if (!name || *name != deviceName) continue;
    auto calls = tapi.NewCalls(device, *version);
    if (calls && !calls->empty()) return calls->front();
  }
  return std::nullopt;
}

}  // namespace

bool GetTapiLineSpeed(Telephony& tapi, std::optional<TapiCallHandle>& heldCall,
                      const std::string& deviceName, uint32_t& speed) {
  speed = 0;
  std::optional<uint32_t> devices = tapi.Initialize(kTapiAppName);
  if (!devices) return false;

  bool searched = false;
  if (!heldCall) {
    heldCall = FindCall(tapi, *devices, deviceName);
    searched = true;
  }
  if (heldCall) {
    std::optional<uint32_t> rate = tapi.CallRate(*heldCall);
    // A call kept from an earlier session may no longer answer (the session that
    // found it has been shut down). Look again now rather than reporting no
    // speed on every other read.
    if (!rate && !searched) {
      heldCall = FindCall(tapi, *devices, deviceName);
      if (heldCall) rate = tapi.CallRate(*heldCall);
    }
    if (rate) {
      speed = *rate;
    } else {
      heldCall.reset();
    }
  }
  tapi.Shutdown();
  return heldCall.has_value();
}

}  // namespace tarnwick
