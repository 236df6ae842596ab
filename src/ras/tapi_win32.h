#pragma once
#include <memory>

#include "ras/statistics_sources.h"

namespace tarnwick {

// Telephony through Tapi32.dll, loaded from the system folder on first use. A
// machine without it simply has no line speed.
class Win32Telephony : public Telephony {
 public:
  Win32Telephony();
  ~Win32Telephony() override;
  Win32Telephony(const Win32Telephony&) = delete;
  Win32Telephony& operator=(const Win32Telephony&) = delete;

  std::optional<uint32_t> Initialize(const std::string& appName) override;
  std::optional<uint32_t> NegotiateApiVersion(uint32_t device, uint32_t low,
                                              uint32_t high) override;
  std::optional<std::string> LineName(uint32_t device, uint32_t apiVersion) override;
  std::optional<std::vector<TapiCallHandle>> NewCalls(uint32_t device,
                                                      uint32_t apiVersion) override;
  std::optional<uint32_t> CallRate(TapiCallHandle call) override;
  void Shutdown() override;

  // Whether the library and all its functions were found (after Initialize).
  bool Loaded() const;

 private:
  struct Api;
  bool Load();
  std::unique_ptr<Api> api_;
  uint32_t app_ = 0;
  bool initialized_ = false;
};

}  // namespace tarnwick
