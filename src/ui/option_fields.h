#pragma once
// The platform-free half of the option dialogs: what a dialog shows when it
// opens and what its OK checks and stores. Every dialog follows one pattern, and
// the later ones (IP monitor, method editor, welcome wizard) are meant to as well:
//
//   struct FooForm { ... };          // the controls' contents: texts and ticks
//   FooForm FooFormFrom(const Settings&);                  // filling at opening
//   std::optional<Refusal<FooField>> ApplyFooForm(const FooForm&, Settings&);
//
// ApplyFooForm runs the checks in their order and assigns each accepted value as
// it goes, so the values before a failing check are already in effect in memory;
// it returns the first refusal (its message, the field, the text to put back
// into the field) or nothing when all passed. Saving is left to the caller.
// Spin positions go through ClampToSpin, as an up-down control clamps them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// The range of an up-down control attached to an edit.
struct SpinRange {
  int32_t min = 0;
  int32_t max = 0;
};

int32_t ClampToSpin(int32_t value, SpinRange range);
// The text the spin's edit shows for `value`: the clamped position in decimal.
std::string SpinText(int32_t value, SpinRange range);

// A failed check: the warning to show and what to do with the field.
template <typename Field>
struct Refusal {
  std::string message;
  Field field;
  std::optional<std::string> reset_text;  // the field's text is put back to this
  bool operator==(const Refusal&) const = default;
};

// The integer in `text` (StrToInt rules) when it lies in [min, max].
std::optional<int32_t> IntegerIn(std::string_view text, int32_t min, int32_t max);

// The retry values of a dial as the reconnect and schedule dialogs check them:
// a delay of 30 to 300 seconds (the spin offers up to 600) and a retry limit of
// -1 (no limit) to 1000.
inline constexpr SpinRange kRetryDelaySpin{30, 600};
inline constexpr SpinRange kMaxRetriesSpin{-1, 1000};
inline constexpr int32_t kRetryDelayAcceptedMax = 300;
inline constexpr const char* kInvalidDelayMessage = "Invalid connection delay value.";
inline constexpr const char* kInvalidRetriesMessage = "Invalid maximum retries value.";

// Takes the delay into `setting`; false (setting untouched) when refused.
bool TakeRetryDelay(std::string_view text, int32_t& setting);
bool TakeMaxRetries(std::string_view text, int32_t& setting);

}  // namespace tarnwick
