#pragma once
// Base64 (RFC 2045 alphabet, "=" padding, no line breaks).
#include <string>
#include <string_view>

namespace tarnwick::net {

std::string Base64Encode(std::string_view bytes);

}  // namespace tarnwick::net
