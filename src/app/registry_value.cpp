#include "app/registry_value.h"

#include <memory>

#include "app/error.h"
#include "app/system_error.h"
#include "app/text_utils.h"

namespace tarnwick {
namespace {

// With query access too: kind 0 reads the type of the value already stored.
std::unique_ptr<RegistryKey> OpenForWrite(RegistryStore& root, const std::string& path) {
  uint32_t error = 0;
  auto key = root.Open(path, true, RegAccess::kReadWrite, &error);
  if (!key) throw Error(SystemErrorText(error ? error : kRegAccessDenied));
  return key;
}

int KindOfStored(const std::optional<RegistryValue>& stored) {
  if (!stored) return kValueKindExisting;
  switch (stored->type) {
    case kRegSz:
      return kValueKindText;
    case kRegExpandSz:
      return kValueKindExpandText;
    case kRegDword:
      return kValueKindInteger;
    case kRegBinary:
      return kValueKindBinaryText;
    default:
      return kValueKindExisting;
  }
}

std::string AsString(const RegArg& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  return std::to_string(std::get<int32_t>(value));
}

int32_t AsInteger(const RegArg& value) {
  if (const auto* number = std::get_if<int32_t>(&value)) return *number;
  const auto& text = std::get<std::string>(value);
  const auto number = TryStrToInt(text);
  if (!number) throw Error(InvalidIntegerMessage(text));
  return *number;
}

}  // namespace

void WriteRegistryValue(RegistryStore& root, const std::string& path, const std::string& name,
                        const RegArg& value, int kind) {
  auto key = OpenForWrite(root, path);
  if (kind == kValueKindExisting) kind = KindOfStored(key->Read(name));

  RegistryValue data;
  switch (kind) {
    case kValueKindText:
      data = RegText(AsString(value), kRegSz);
      break;
    case kValueKindExpandText:
      data = RegText(AsString(value), kRegExpandSz);
      break;
    case kValueKindInteger:
      data = RegDword(AsInteger(value));
      break;
    case kValueKindBinaryText:
      data = {kRegBinary, AsString(value)};
      break;
    default:
      throw Error(SystemErrorText(kRegCantWrite));
  }
  if (const uint32_t error = key->Write(name, data)) throw Error(SystemErrorText(error));
}

void DeleteRegistryValue(RegistryStore& root, const std::string& path, const std::string& name) {
  auto key = OpenForWrite(root, path);
  const uint32_t error = key->Delete(name);
  if (error != kRegOk && error != kRegFileNotFound) throw Error(SystemErrorText(error));
}

}  // namespace tarnwick
