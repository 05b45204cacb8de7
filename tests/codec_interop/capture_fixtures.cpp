// Records the datagrams net-snmp's tools send as the fixtures of the codec
// interop tests and seeds of the decoder's fuzzer:
//   codec_capture_fixtures <folder>
// Each tool sends to a loopback port of this program's own, which never
// answers.
#include "loopback_listener.h"
#include "net_snmp_requests.h"
#include "peer_tools.h"

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  int failures = 0;
  for (const ToolRequest& request : netSnmpRequests()) {
    LoopbackListener listener;
    ToolRun run = listener.ready() ? runTool(pointedAt(request, listener.port())) : ToolRun{};
    auto datagram = listener.receive(5000);
    std::string path = std::string(argv[1]) + "/" + request.fixture + ".bin";
    FILE* out = datagram ? std::fopen(path.c_str(), "wb") : nullptr;
    if (!run.started || !out || std::fwrite(datagram->data(), 1, datagram->size(), out) != datagram->size()) {
      std::fprintf(stderr, "%s: nothing captured\n", request.fixture.c_str());
      ++failures;
    } else {
      std::printf("%s: %zu octets\n", path.c_str(), datagram->size());
    }
    if (out) std::fclose(out);
  }
  return failures ? 1 : 0;
}
