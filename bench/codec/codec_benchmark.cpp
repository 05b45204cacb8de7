// Encode, decode and encode+decode round trips of the message codec
// through the public calls, each iteration paying what an application
// pays (a fresh descriptor per encode; new handles per decode, freed
// again). With net-snmp's library present, it encodes and parses the very
// same octets side by side, and the run ends with the rate ratios.
#include "bench_messages.h"
#include "winsnmp.h"

#ifdef CODEC_BENCH_NETSNMP
#include "netsnmp_codec.h"
#endif

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using Octets = std::vector<uint8_t>;

// Our side: the message built once as a PDU with its list, for a session.
class OurCodec {
 public:
  OurCodec(HSNMP_SESSION session, const BenchMessage& message) : session_(session) {
    agent_ = SnmpStrToEntity(session, "127.0.0.1");
    smiOCTETS community{static_cast<smiUINT32>(message.community.size()),
                        reinterpret_cast<smiLPBYTE>(const_cast<char*>(message.community.data()))};
    context_ = SnmpStrToContext(session, &community);
    HSNMP_VBL list = SnmpCreateVbl(session, nullptr, nullptr);
    for (const BenchVarbind& varbind : message.varbinds) append(list, varbind);
    pdu_ = SnmpCreatePdu(session, SNMP_PDU_RESPONSE, message.requestId, 0, 0, list);
  }

  bool encode(smiOCTETS& message) {
    return SnmpEncodeMsg(session_, agent_, agent_, context_, pdu_, &message) == SNMPAPI_SUCCESS;
  }
  Octets encoded() {
    smiOCTETS message{};
    if (!encode(message)) return {};
    Octets octets(message.ptr, message.ptr + message.len);
    SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &message);
    return octets;
  }
  bool encodeAndFree() {
    smiOCTETS message{};
    return encode(message) && SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &message) == SNMPAPI_SUCCESS;
  }
  bool decodeAndFree(const smiOCTETS& message) {
    HSNMP_ENTITY source, destination;
    HSNMP_CONTEXT context;
    HSNMP_PDU pdu;
    HSNMP_VBL list = nullptr;
    if (SnmpDecodeMsg(session_, &source, &destination, &context, &pdu, &message) != SNMPAPI_SUCCESS) return false;
    SnmpGetPduData(pdu, nullptr, nullptr, nullptr, nullptr, &list);
    SnmpFreeVbl(list);
    SnmpFreePdu(pdu);
    SnmpFreeContext(context);
    SnmpFreeEntity(source);
    SnmpFreeEntity(destination);
    return true;
  }

 private:
  static void append(HSNMP_VBL list, const BenchVarbind& varbind) {
    std::vector<smiUINT32> name = varbind.name, oid = varbind.oid;
    smiOID nameOid{static_cast<smiUINT32>(name.size()), name.data()};
    smiVALUE value{};
    value.syntax = varbind.syntax;
    switch (varbind.syntax) {
      case SNMP_SYNTAX_INT: value.value.sNumber = static_cast<smiINT>(varbind.number); break;
      case SNMP_SYNTAX_OCTETS:
      case SNMP_SYNTAX_IPADDR:
        value.value.string = {static_cast<smiUINT32>(varbind.octets.size()),
                              reinterpret_cast<smiLPBYTE>(const_cast<char*>(varbind.octets.data()))};
        break;
      case SNMP_SYNTAX_OID: value.value.oid = {static_cast<smiUINT32>(oid.size()), oid.data()}; break;
      case SNMP_SYNTAX_CNTR64:
        value.value.hNumber = {static_cast<smiUINT32>(varbind.number >> 32), static_cast<smiUINT32>(varbind.number)};
        break;
      default: value.value.uNumber = static_cast<smiUINT32>(varbind.number); break;
    }
    SnmpSetVb(list, 0, &nameOid, &value);
  }

  HSNMP_SESSION session_;
  HSNMP_ENTITY agent_ = nullptr;
  HSNMP_CONTEXT context_ = nullptr;
  HSNMP_PDU pdu_ = nullptr;
};

void registerOurs(const std::string& label, std::shared_ptr<OurCodec> codec, Octets wire) {
  auto message = std::make_shared<Octets>(std::move(wire));
  benchmark::RegisterBenchmark(("ours/encode/" + label).c_str(), [codec](benchmark::State& state) {
    for (auto _ : state) {
      if (!codec->encodeAndFree()) state.SkipWithError("encoding failed");
    }
    state.SetItemsProcessed(state.iterations());
  });
  benchmark::RegisterBenchmark(("ours/decode/" + label).c_str(), [codec, message](benchmark::State& state) {
    smiOCTETS octets{static_cast<smiUINT32>(message->size()), message->data()};
    for (auto _ : state) {
      if (!codec->decodeAndFree(octets)) state.SkipWithError("decoding failed");
    }
    state.SetItemsProcessed(state.iterations());
  });
  benchmark::RegisterBenchmark(("ours/roundtrip/" + label).c_str(), [codec](benchmark::State& state) {
    for (auto _ : state) {
      smiOCTETS octets{};
      if (!codec->encode(octets) || !codec->decodeAndFree(octets)) state.SkipWithError("round trip failed");
      SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &octets);
    }
    state.SetItemsProcessed(state.iterations());
  });
}

#ifdef CODEC_BENCH_NETSNMP
void registerNetSnmp(const std::string& label, std::shared_ptr<NetSnmpCodec> codec, Octets wire) {
  auto message = std::make_shared<Octets>(std::move(wire));
  benchmark::RegisterBenchmark(("net-snmp/encode/" + label).c_str(), [codec](benchmark::State& state) {
    for (auto _ : state) {
      if (codec->encodeOnly() == 0) state.SkipWithError("encoding failed");
    }
    state.SetItemsProcessed(state.iterations());
  });
  benchmark::RegisterBenchmark(("net-snmp/decode/" + label).c_str(), [codec, message](benchmark::State& state) {
    for (auto _ : state) {
      if (!codec->decode(*message)) state.SkipWithError("decoding failed");
    }
    state.SetItemsProcessed(state.iterations());
  });
  benchmark::RegisterBenchmark(("net-snmp/roundtrip/" + label).c_str(), [codec](benchmark::State& state) {
    for (auto _ : state) {
      if (!codec->decode(codec->encode())) state.SkipWithError("round trip failed");
    }
    state.SetItemsProcessed(state.iterations());
  });
}
#endif

// Keeps each run's CPU time per iteration for the ratio table: on a
// shared machine CPU time is steadier than wall time. With repetitions
// the median stands for the run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && nanoseconds.count(run.run_name.str())) continue;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      nanoseconds[run.run_name.str()] = run.GetAdjustedCPUTime();
    }
  }
  std::map<std::string, double> nanoseconds;
};

void printRatios(const RatioReporter& reporter, const std::vector<std::string>& labels) {
  std::printf("\nRate of ours against net-snmp's library, CPU time per operation (above 1: ours is faster)\n");
  for (const std::string& label : labels) {
    for (const char* operation : {"encode", "decode", "roundtrip"}) {
      auto ours = reporter.nanoseconds.find(std::string("ours/") + operation + "/" + label);
      auto theirs = reporter.nanoseconds.find(std::string("net-snmp/") + operation + "/" + label);
      if (ours == reporter.nanoseconds.end() || theirs == reporter.nanoseconds.end()) continue;
      std::printf("  %-10s %-16s %8.0f ns vs %8.0f ns  ratio %.2f\n", operation, label.c_str(), ours->second,
                  theirs->second, theirs->second / ours->second);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr);
  HSNMP_SESSION session = SnmpOpenEx(SNMPAPI_NOTIFY_NONE, 0, 0);
  std::vector<std::string> labels;
  for (const BenchMessage& message : {mixedResponse(), responseOfSize(1472)}) {
    auto ours = std::make_shared<OurCodec>(session, message);
    Octets wire = ours->encoded();
    if (wire.size() != encodedLength(message)) {
      std::fprintf(stderr, "%s: encoded %zu octets, expected %zu\n", message.label.c_str(), wire.size(),
                   encodedLength(message));
      return 1;
    }
    labels.push_back(message.label);
    registerOurs(message.label, ours, wire);
#ifdef CODEC_BENCH_NETSNMP
    auto theirs = std::make_shared<NetSnmpCodec>(message);
    if (theirs->encode() != wire) {
      std::fprintf(stderr, "%s: net-snmp's encoding differs from ours\n", message.label.c_str());
      return 1;
    }
    registerNetSnmp(message.label, theirs, wire);
#endif
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printRatios(reporter, labels);
  benchmark::Shutdown();
  SnmpCleanup();
  return 0;
}
