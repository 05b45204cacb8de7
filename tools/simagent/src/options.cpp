// Command-line parsing for simagent.
#include "options.h"

#include <charconv>
#include <cstring>

namespace simagent {
namespace {

template <class Number>
bool readNumber(const std::string& text, Number& number, Number highest) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end == text.data() + text.size() && number <= highest;
}

bool readErrorStatus(const std::string& text, FaultPlan& faults) {
  size_t colon = text.find(':');
  int status = 0, index = 1;
  if (!readNumber(text.substr(0, colon), status, 255)) return false;
  if (colon != std::string::npos && !readNumber(text.substr(colon + 1), index, 255)) return false;
  faults.errorStatus = status;
  faults.errorIndex = index;
  return true;
}

}  // namespace

const char* usageText() {
  return "Usage: simagent [options]\n"
         "An SNMP agent for tests and demonstrations. It answers Get, GetNext and Set\n"
         "requests in the SNMPv1 message format, with noSuchName at the end of its data.\n"
         "\n"
         "Where it listens:\n"
         "  --address ADDR         local address (default 127.0.0.1)\n"
         "  --port N               UDP port (default 16161; 0 picks a free port)\n"
         "Who may ask:\n"
         "  --community NAME       a read-only community (repeatable)\n"
         "  --write-community NAME a read-write community (repeatable)\n"
         "                         (without either: public read-only, private read-write)\n"
         "What it answers with:\n"
         "  --walk FILE            the objects of a walk file as `snmpwalk -On` prints it,\n"
         "                         all writable with a read-write community\n"
         "                         (default: this machine's system group and interfaces)\n"
         "  --contact TEXT         sysContact of the live system group\n"
         "  --location TEXT        sysLocation of the live system group\n"
         "Faults to inject:\n"
         "  --drop-every N         drop every N-th request\n"
         "  --drop-percent P       drop P percent of the requests at random\n"
         "  --seed N               seed of the random drops (default 1)\n"
         "  --delay MS             answer MS milliseconds late\n"
         "  --duplicate            send every answer twice\n"
         "  --error-status S[:I]   answer every request with error status S, index I (default 1)\n"
         "  --reply-from-other-port  answer from another UDP port than the one asked\n"
         "  --stuck-getnext        answer every GetNext with the OID it asked for, as a\n"
         "                         broken agent does\n"
         "Other:\n"
         "  --verbose              print one line per request\n"
         "  --help                 this text\n"
         "\n"
         "It prints one line when it is ready (\"simagent: ready on ADDR:PORT ...\"), stops\n"
         "on SIGINT or SIGTERM and then prints how many requests it saw, answered and dropped.\n";
}

bool parseOptions(int argc, char** argv, Options& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) {
        error = option + " needs a value";
        return false;
      }
      out = argv[++i];
      return true;
    };
    std::string text;
    bool ok = true;
    if (option == "--help" || option == "-h") {
      options.help = true;
    } else if (option == "--verbose") {
      options.verbose = true;
    } else if (option == "--duplicate") {
      options.faults.duplicate = true;
    } else if (option == "--reply-from-other-port") {
      options.faults.replyFromOtherPort = true;
    } else if (option == "--stuck-getnext") {
      options.faults.stuckGetNext = true;
    } else if (option == "--address") {
      ok = value(options.address);
    } else if (option == "--port") {
      ok = value(text) && readNumber(text, options.port, uint16_t{65535});
    } else if (option == "--community" || option == "--write-community") {
      ok = value(text);
      if (ok) options.communities[text] = option == "--write-community";
    } else if (option == "--walk") {
      ok = value(options.walkFile);
    } else if (option == "--contact") {
      ok = value(options.identity.contact);
    } else if (option == "--location") {
      ok = value(options.identity.location);
    } else if (option == "--drop-every") {
      ok = value(text) && readNumber(text, options.faults.dropEvery, 1000000u);
    } else if (option == "--drop-percent") {
      ok = value(text) && readNumber(text, options.faults.dropPercent, 100u);
    } else if (option == "--seed") {
      ok = value(text) && readNumber(text, options.faults.seed, UINT32_MAX);
    } else if (option == "--delay") {
      ok = value(text) && readNumber(text, options.faults.delayMilliseconds, 600000u);
    } else if (option == "--error-status") {
      ok = value(text) && readErrorStatus(text, options.faults);
    } else {
      error = "unknown option " + option;
      return false;
    }
    if (!ok) {
      if (error.empty()) error = "bad value for " + option + ": " + text;
      return false;
    }
  }
  if (options.communities.empty()) options.communities = {{"public", false}, {"private", true}};
  return true;
}

}  // namespace simagent
