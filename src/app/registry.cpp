#include "app/registry.h"

#include <bit>
#include <cstring>

namespace tarnwick {

static_assert(std::endian::native == std::endian::little, "registry values are little-endian");

RegistryValue RegText(const std::string& text, uint32_t type) {
  std::string data = text;
  data.push_back('\0');
  return {type, data};
}

RegistryValue RegDword(int32_t value) {
  std::string data(sizeof value, '\0');
  std::memcpy(data.data(), &value, sizeof value);
  return {kRegDword, data};
}

RegistryValue RegDouble(double value) {
  std::string data(sizeof value, '\0');
  std::memcpy(data.data(), &value, sizeof value);
  return {kRegBinary, data};
}

std::optional<int32_t> AsDword(const RegistryValue& value) {
  int32_t result = 0;
  if (value.type != kRegDword || value.data.size() != sizeof result) return std::nullopt;
  std::memcpy(&result, value.data.data(), sizeof result);
  return result;
}

std::optional<double> AsDouble(const RegistryValue& value) {
  double result = 0;
  if (value.type != kRegBinary || value.data.size() != sizeof result) return std::nullopt;
  std::memcpy(&result, value.data.data(), sizeof result);
  return result;
}

std::optional<std::string> AsText(const RegistryValue& value) {
  if (value.type != kRegSz && value.type != kRegExpandSz) return std::nullopt;
  const auto end = value.data.find('\0');
  return end == std::string::npos ? value.data : value.data.substr(0, end);
}

}  // namespace tarnwick
