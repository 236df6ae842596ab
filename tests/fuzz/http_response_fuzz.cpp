// HTTP replies over a server that splits its output at the fuzzer's choice: the
// reply reader alone, and the client fetching three times over a kept
// connection. A reply is read or refused with Error, within its bounds, and the
// outcome of the fetches does not depend on where the reads split the bytes.
#include <string>
#include <vector>

#include "fuzz/scripted_input.h"
#include "net/http_client.h"
#include "net/http_response.h"

using namespace tarnwick;

namespace {

void ReadReplies(const fuzz::ServerOutput& server, size_t max_body) {
  net::testing::VirtualClock clock;
  net::testing::ScriptedStream stream(server.Script(), clock);
  net::HttpReader reader(stream, net::kHttpReadTimeoutMs, clock.AsClock());
  for (int i = 0; i < 4; ++i) {
    try {
      const net::HttpResponse r = net::ReadResponse(reader, max_body);
      FUZZ_CHECK(r.status.code >= 100 && r.status.code <= 999);
      FUZZ_CHECK(r.status.code < 100 || r.status.code >= 200 || r.status.code == 101);
      FUZZ_CHECK(r.body.size() <= max_body);
      FUZZ_CHECK(r.status_line.size() <= net::kMaxHttpLineLength);
      if (r.status.code == 204 || r.status.code == 304 || r.status.code == 101)
        FUZZ_CHECK(r.body.empty());
    } catch (const Error&) {
      return;
    }
  }
}

// What three fetches return: each body or error text, then the connections made.
std::vector<std::string> Fetch(const fuzz::ServerOutput& server, bool whole) {
  net::testing::ScriptedNetwork network;
  network.AddServer()->steps = server.Script(whole)->steps;
  // A second connection, after the client dropped the first, meets a sound server.
  network.AddServer()->Send("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nnext").Close();
  net::HttpClient client(network, network.clock.AsClock());
  client.max_body_bytes = 4096;
  std::vector<std::string> outcome;
  for (int i = 0; i < 3; ++i) {
    try {
      const std::string body = client.Get("http://127.0.0.1:80/page");
      FUZZ_CHECK(body.size() <= client.max_body_bytes);
      outcome.push_back("body " + body);
    } catch (const net::HttpProtocolError& e) {
      outcome.push_back("status " + std::to_string(e.code()));
    } catch (const Error& e) {
      outcome.push_back(std::string("error ") + e.what());
    }
  }
  outcome.push_back(std::to_string(network.connects.size()));
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const uint8_t mode = in.Byte();
  const fuzz::ServerOutput server(in);
  if (mode & 1) {
    ReadReplies(server, mode & 2 ? 16 : 4096);
  } else {
    const auto split = Fetch(server, false);
    // Pauses make the split run time out where the whole one does not.
    if (!server.Pauses()) FUZZ_CHECK(split == Fetch(server, true));
  }
  return 0;
}
