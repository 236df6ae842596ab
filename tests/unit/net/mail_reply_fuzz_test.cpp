// Randomized server output for the reply reader and the SMTP and FTP clients.
// Well-formed replies must read back exactly; mangled ones may fail but never
// crash, hang or pass a refusal off as success. Bounded by time and count; run
// under the sanitizers by the native-asan build.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <random>

#include "net/ftp_client.h"
#include "net/smtp_client.h"
#include "unit/net/mail_fakes.h"

namespace tarnwick::net {
namespace {

using testing::Chunk;
using testing::Data;
using testing::FakeNetwork;

constexpr auto kBudget = std::chrono::milliseconds(1500);
constexpr int kMaxInputs = 20000;

struct Generated {
  std::string bytes;
  Reply reply;  // what a correct reader returns for `bytes`
};

Generated WellFormed(std::mt19937& rng) {
  const int code = 100 + static_cast<int>(rng() % 500);
  const std::string digits = std::to_string(code);
  const int lines = 1 + static_cast<int>(rng() % 4);
  Generated g;
  g.reply.code = code;
  for (int i = 0; i < lines; ++i) {
    std::string text;
    const int len = static_cast<int>(rng() % 40);
    for (int k = 0; k < len; ++k) text += static_cast<char>(' ' + rng() % 95);
    const bool last = i == lines - 1;
    g.bytes += digits + (last ? " " : "-") + text + "\r\n";
    g.reply.lines.push_back(text);
  }
  return g;
}

std::string Mangle(std::string bytes, std::mt19937& rng) {
  switch (rng() % 5) {
    case 0:  // truncated
      return bytes.substr(0, rng() % (bytes.size() + 1));
    case 1:  // random bytes anywhere
      for (int i = 0; i < 3 && !bytes.empty(); ++i) bytes[rng() % bytes.size()] = char(rng());
      return bytes;
    case 2:  // noise prefix
      return std::string(1 + rng() % 3, char(rng())) + bytes;
    case 3: {  // pure noise, sometimes very long
      std::string noise(rng() % 2 ? rng() % 64 : 3000 + rng() % 2000, '\0');
      for (char& c : noise) c = char(rng());
      return noise;
    }
    default:  // line ends dropped
      std::erase(bytes, '\n');
      return bytes;
  }
}

std::vector<Chunk> Split(const std::string& bytes, std::mt19937& rng) {
  std::vector<Chunk> chunks;
  for (size_t at = 0; at < bytes.size();) {
    const size_t n = 1 + rng() % 16;
    chunks.push_back(Data(bytes.substr(at, n)));
    at += n;
  }
  chunks.push_back(rng() % 2 ? testing::Closed() : testing::Stall());
  return chunks;
}

TEST(MailReplyFuzz, ReaderAndClientsSurviveRandomServers) {
  std::mt19937 rng(20250304);
  const auto start = std::chrono::steady_clock::now();
  int inputs = 0, exact = 0, smtp_ok = 0, ftp_ok = 0;
  while (inputs < kMaxInputs && std::chrono::steady_clock::now() - start < kBudget) {
    ++inputs;
    const Generated g = WellFormed(rng);
    const bool mangled = rng() % 2;
    const std::string bytes = mangled ? Mangle(g.bytes, rng) : g.bytes;

    FakeNetwork net;
    auto server = net.AddServer(Split(bytes, rng));
    auto stream = net.Connect("h", 1, 1);
    LineReader reader(*stream, net.VirtualClock());
    try {
      const Reply r = ReadReply(reader, kReplyTimeoutMs);
      ASSERT_GE(r.code, 100);
      ASSERT_LE(r.code, 599);
      ASSERT_LE(r.lines.size(), kMaxReplyLines);
      for (const std::string& line : r.lines) {
        ASSERT_LE(line.size(), kMaxReplyLineLength);
        ASSERT_EQ(line.find_first_of(std::string("\r\n\0", 3)), std::string::npos);
      }
      if (!mangled) {
        ASSERT_EQ(r.code, g.reply.code);
        ASSERT_EQ(r.lines, g.reply.lines);
        ++exact;
      }
    } catch (const Error&) {
      ASSERT_TRUE(mangled) << "a well-formed reply was refused: " << bytes;
    }

    // The same bytes as a greeting: a connect succeeds only on a 220 and a 250.
    FakeNetwork smtp_net;
    smtp_net.AddServer(Split(bytes + (rng() % 2 ? "250 hello\r\n" : ""), rng));
    SmtpClient smtp(smtp_net, "pc", smtp_net.VirtualClock());
    smtp.SetHost("mx.example");
    try {
      smtp.Connect();
      ASSERT_EQ(bytes.substr(0, 3), "220");
      ++smtp_ok;
    } catch (const Error&) {
    }

    FakeNetwork ftp_net;
    ftp_net.AddServer(Split("220 hi\r\n" + bytes + "200 I\r\n215 U\r\n", rng));
    FtpClient ftp(ftp_net, ftp_net.VirtualClock());
    try {
      ftp.Connect("h", 21, "u", "p");
      ASSERT_TRUE(bytes.starts_with("230") || bytes.starts_with("331")) << bytes;
      ++ftp_ok;
    } catch (const Error&) {
    }
  }
  std::printf(
      "randomized server replies: %d inputs (%d well-formed read back exactly, "
      "%d SMTP and %d FTP logins accepted)\n",
      inputs, exact, smtp_ok, ftp_ok);
  EXPECT_GT(inputs, 100);
  EXPECT_GT(exact, 0);
  // The clients reached the conversation at all.
  EXPECT_GT(smtp_ok, 0);
  EXPECT_GT(ftp_ok, 0);
}

// Passive replies and EHLO keywords: a well-formed 229 or 227 gives back its
// port; mangled ones give a port in range or an error, never a crash.
TEST(MailReplyFuzz, PassiveRepliesAndEhloKeywords) {
  std::mt19937 rng(20251208);
  const auto start = std::chrono::steady_clock::now();
  int inputs = 0;
  while (inputs < kMaxInputs && std::chrono::steady_clock::now() - start < kBudget) {
    ++inputs;
    const int port = 1 + static_cast<int>(rng() % 65535);
    const std::string epsv = "Entering Extended Passive Mode (|||" + std::to_string(port) + "|)";
    const std::string pasv = "Entering Passive Mode (10,0,0," + std::to_string(rng() % 256) + "," +
                             std::to_string(port >> 8) + "," + std::to_string(port & 0xFF) + ")";
    if (rng() % 2) {
      ASSERT_EQ(ParseEpsvPort(epsv), port);
      ASSERT_EQ(ParsePasvPort(pasv), port);
      continue;
    }
    for (const std::string& text : {Mangle(epsv, rng), Mangle(pasv, rng)}) {
      try {
        const int got = rng() % 2 ? ParseEpsvPort(text) : ParsePasvPort(text);
        ASSERT_GE(got, 1);
      } catch (const Error&) {
      }
    }
    Reply ehlo{250, {"mx"}};
    for (int i = 0; i < 3; ++i) ehlo.lines.push_back(Mangle("AUTH PLAIN LOGIN STARTTLS", rng));
    // A mechanism is found only where its name was left standing.
    const SmtpCapabilities found = ParseEhloReply(ehlo);
    const auto named = [&](const char* word) {
      for (size_t i = 1; i < ehlo.lines.size(); ++i) {
        std::string upper = ehlo.lines[i];
        for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        if (upper.find(word) != std::string::npos) return true;
      }
      return false;
    };
    ASSERT_TRUE(!found.auth_plain || named("PLAIN"));
    ASSERT_TRUE(!found.auth_login || named("LOGIN"));
    ASSERT_TRUE(!found.starttls || named("STARTTLS"));
  }
  EXPECT_GT(inputs, 100);
}

}  // namespace
}  // namespace tarnwick::net
