// Reading notifyd's options.
#include "server_options.h"

#include <arpa/inet.h>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace notifyd {
namespace {

bool readPort(const std::string& text, uint16_t& port) {
  unsigned value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value == 0 || value > 65535) return false;
  port = static_cast<uint16_t>(value);
  return true;
}

bool readAddress(const std::string& text, std::string& address) {
  in_addr parsed{};
  if (inet_pton(AF_INET, text.c_str(), &parsed) != 1) return false;
  address = text;
  return true;
}

bool applyEnvironment(ServerOptions& options, std::string& error) {
  if (const char* port = std::getenv("ORVANE_NOTIFYD_PORT"); port && *port && !readPort(port, options.port)) {
    error = std::string("ORVANE_NOTIFYD_PORT is not a port number: ") + port;
    return false;
  }
  if (const char* address = std::getenv("ORVANE_NOTIFYD_ADDRESS");
      address && *address && !readAddress(address, options.address)) {
    error = std::string("ORVANE_NOTIFYD_ADDRESS is not an IPv4 address: ") + address;
    return false;
  }
  return true;
}

}  // namespace

ParseOutcome parseOptions(int argc, const char* const* argv, ServerOptions& options, std::string& error) {
  if (!applyEnvironment(options, error)) return ParseOutcome::bad;
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    if (option == "--help" || option == "-h") return ParseOutcome::help;
    if (option != "--port" && option != "--address") {
      error = "unknown option " + option;
      return ParseOutcome::bad;
    }
    if (i + 1 == argc) {
      error = option + " needs a value";
      return ParseOutcome::bad;
    }
    std::string value = argv[++i];
    if (option == "--port" && !readPort(value, options.port)) {
      error = "--port takes a number from 1 to 65535, not " + value;
      return ParseOutcome::bad;
    }
    if (option == "--address" && !readAddress(value, options.address)) {
      error = "--address takes an IPv4 address, not " + value;
      return ParseOutcome::bad;
    }
  }
  return ParseOutcome::run;
}

std::string usageText() {
  return "Usage: notifyd [--port N] [--address A]\n"
         "\n"
         "The trap server: receives SNMP traps on a UDP port and hands each one to\n"
         "every program that registered with it (netmgr's SnmpRegister starts it\n"
         "when it is not running).\n"
         "\n"
         "  --port N      the UDP port to receive traps on (default 162, or\n"
         "                $ORVANE_NOTIFYD_PORT)\n"
         "  --address A   the local IPv4 address to receive on (default 0.0.0.0,\n"
         "                every address, or $ORVANE_NOTIFYD_ADDRESS)\n"
         "  --help        this text\n"
         "\n"
         "It logs to standard error and stops on SIGTERM or SIGINT, and when its\n"
         "entry in the runtime folder ($ORVANE_RUNTIME_DIR) is removed.\n";
}

}  // namespace notifyd
