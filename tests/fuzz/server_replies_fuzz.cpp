// The texts the clients take apart after a reply was read: the ports of 229 and
// 227, and the EHLO keywords. Any text either gives a port in 1..65535 or is
// refused with Error; a reply made from a port reads back as that port; the
// EHLO flags match a plain word-by-word reading of the lines.
#include <cctype>
#include <string>
#include <vector>

#include "app/error.h"
#include "fuzz/fuzz_support.h"
#include "net/ftp_client.h"
#include "net/smtp_client.h"

using namespace tarnwick;
using namespace tarnwick::net;

namespace {

// Text around a reply's numbers, without the characters the parsers look for.
std::string Filler(fuzz::Input& in, const char* banned) {
  std::string text = in.Bytes(in.Byte() % 24);
  for (char& c : text) {
    if (std::isdigit(static_cast<unsigned char>(c)) || std::strchr(banned, c) || c == '\0') c = ' ';
  }
  return text;
}

void AnyText(const std::string& text) {
  for (auto parse : {&ParseEpsvPort, &ParsePasvPort}) {
    try {
      const uint16_t port = parse(text);
      FUZZ_CHECK(port >= 1);
    } catch (const Error&) {
    }
  }
}

void Epsv(fuzz::Input& in) {
  const uint16_t port = static_cast<uint16_t>(1 + in.U32() % 65535);
  char d = static_cast<char>(in.Byte());
  if (std::isdigit(static_cast<unsigned char>(d)) || d == '(' || d == ')' || d == '\0') d = '|';
  const std::string text = Filler(in, "()") + "(" + std::string(3, d) + std::to_string(port) +
                           d + ")" + Filler(in, "()");
  FUZZ_CHECK(ParseEpsvPort(text) == port);
}

void Pasv(fuzz::Input& in) {
  int n[6];
  for (int& v : n) v = in.Byte();
  if (n[4] == 0 && n[5] == 0) n[5] = 1;
  std::string numbers;
  for (int i = 0; i < 6; ++i) numbers += (i ? "," : "") + std::to_string(n[i]);
  const bool brackets = in.Byte() & 1;
  const std::string text = Filler(in, "(),") + (brackets ? "(" + numbers + ")" : numbers) +
                           (brackets ? Filler(in, "") : "");
  FUZZ_CHECK(ParsePasvPort(text) == n[4] * 256 + n[5]);
}

void Ehlo(fuzz::Input& in) {
  Reply reply;
  reply.code = 250;
  bool starttls = false, plain = false, login = false;
  for (int lines = in.Byte() % 8; lines >= 0; --lines) {
    const std::string line = in.Bytes(in.Byte() % 48);
    const bool counted = !reply.lines.empty();  // the first line is the greeting
    reply.lines.push_back(line);
    if (!counted) continue;
    std::vector<std::string> words;
    std::string word;
    for (char c : line + " ") {
      if (std::isspace(static_cast<unsigned char>(c))) {
        if (!word.empty()) words.push_back(word);
        word.clear();
      } else {
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      }
    }
    if (words.empty()) continue;
    if (words[0] == "STARTTLS") starttls = true;
    std::vector<std::string> mechanisms(words.begin() + 1, words.end());
    if (words[0].rfind("AUTH=", 0) == 0) mechanisms.push_back(words[0].substr(5));
    else if (words[0] != "AUTH") continue;
    for (const std::string& m : mechanisms) {
      plain = plain || m == "PLAIN";
      login = login || m == "LOGIN";
    }
  }
  const SmtpCapabilities offered = ParseEhloReply(reply);
  FUZZ_CHECK(offered.starttls == starttls);
  FUZZ_CHECK(offered.auth_plain == plain);
  FUZZ_CHECK(offered.auth_login == login);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  switch (in.Byte() % 4) {
    case 0: AnyText(in.Rest()); break;
    case 1: Epsv(in); break;
    case 2: Pasv(in); break;
    default: Ehlo(in); break;
  }
  return 0;
}
