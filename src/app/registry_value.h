#pragma once
// Writing and deleting one registry value outside the settings store (the
// start-with-Windows value).
#include <cstdint>
#include <string>
#include <variant>

#include "app/registry.h"

namespace tarnwick {

// Value types as callers name them (not the registry's own numbering).
enum RegValueKind : int {
  kValueKindExisting = 0,  // the type of the value already stored under the name
  kValueKindText = 1,
  kValueKindExpandText = 2,
  kValueKindInteger = 3,
  kValueKindBinaryText = 4,  // the value's text, stored as binary bytes
};

using RegArg = std::variant<std::string, int32_t>;

// Throws Error with the system's message text on failure; for an unknown kind, or
// kind 0 with no stored value, the message for error 1013.
void WriteRegistryValue(RegistryStore& root, const std::string& path, const std::string& name,
                        const RegArg& value, int kind);

// Deleting a value that does not exist is not an error.
void DeleteRegistryValue(RegistryStore& root, const std::string& path, const std::string& name);

}  // namespace tarnwick
