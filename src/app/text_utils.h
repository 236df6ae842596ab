#pragma once
// Small text helpers shared by several windows and engines.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// Splits a ";"-separated list, trimming characters 0..32 around each entry, and
// appends the entries to `list` (not cleared first). Empty entries stay; there is
// always one entry more than there are semicolons. `count` is set to the number added.
void SplitList(std::string_view text, std::vector<std::string>& list, int& count);

// The decimal digits of `value` grouped by threes with `separator` (1,234,567).
// The sign stays in front of the digits.
std::string GroupThousands(int64_t value, std::string_view separator);

// Integer text as the dialogs accept it: optional sign, then decimal digits or "$"
// followed by hexadecimal digits; no spaces; must fit in 32 bits.
std::optional<int32_t> TryStrToInt(std::string_view text);

// The message of a failed conversion: "'abc' is not a valid integer value".
std::string InvalidIntegerMessage(std::string_view text);

std::string ToLowerAscii(std::string text);

}  // namespace tarnwick
