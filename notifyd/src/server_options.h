// notifyd's command line.
#pragma once

#include <cstdint>
#include <string>

namespace notifyd {

struct ServerOptions {
  std::string address = "0.0.0.0";  // where the trap port is opened
  uint16_t port = 162;
};

enum class ParseOutcome { run, help, bad };

// Reads --port N, --address A and --help. The defaults come from
// ORVANE_NOTIFYD_PORT and ORVANE_NOTIFYD_ADDRESS when set, which is how a
// server started on demand (without arguments) gets another port. `error`
// says what was wrong for `bad`.
ParseOutcome parseOptions(int argc, const char* const* argv, ServerOptions& options, std::string& error);

std::string usageText();

}  // namespace notifyd
