// Started by the shell launcher test: writes the command line it received
// (after the program name) to the file that TARNWICK_PROBE_OUT names, so the
// test can compare it byte for byte.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string_view>

int main() {
  char out[MAX_PATH] = {};
  if (GetEnvironmentVariableA("TARNWICK_PROBE_OUT", out, sizeof out) == 0) return 2;
  const char* line = GetCommandLineA();
  // Skip the program name, quoted or not, and the blanks after it.
  if (*line == '"') {
    line = std::strchr(line + 1, '"');
    line = line ? line + 1 : "";
  } else {
    while (*line && *line != ' ' && *line != '\t') ++line;
  }
  while (*line == ' ' || *line == '\t') ++line;
  const std::string_view args(line);
  char partial[MAX_PATH + 8];
  std::snprintf(partial, sizeof partial, "%s.part", out);
  FILE* file = std::fopen(partial, "wb");
  if (!file) return 3;
  std::fwrite(args.data(), 1, args.size(), file);
  std::fclose(file);
  // Appears complete or not at all.
  return MoveFileExA(partial, out, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
