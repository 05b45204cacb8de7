// No exception leaves an export: the call frame turns memory exhaustion
// anywhere inside into error 2 and anything else into error 1, recorded
// like every other failure.
#include "call_frame.h"
#include "descriptors.h"
#include "failing_new.h"
#include "netmgr_fixture.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using netmgr::CallFrame;
using netmgr::Live;
using netmgr::runExport;

using ExportBoundary = StartedLibrary;

// Each allocation of the parse in turn fails, from the first one on, until
// the parse gets through: every failure is error 2, nothing is thrown and
// no descriptor is left behind.
TEST_F(ExportBoundary, AContainerRunningOutOfMemoryInsideAnExportIsError2) {
  const char* text = "1.3.6.1.4.1.2021.10.1.3.1.1.3.6.1.4.1.2021.10.1.3.1";
  long descriptorsBefore = netmgr::liveDescriptors();
  long failuresSeen = 0;
  for (long allowed = 0; allowed < 64; ++allowed) {
    smiOID oid{};
    SNMPAPI_STATUS status = SNMPAPI_FAILURE;
    failing_new::failAfter(allowed);
    EXPECT_NO_THROW(status = SnmpStrToOid(text, &oid));
    bool injected = failing_new::failed();
    failing_new::failAfter(-1);
    if (!injected) {
      EXPECT_EQ(status, SNMPAPI_SUCCESS);
      EXPECT_EQ(oid.len, 22u);
      SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&oid));
      break;
    }
    ++failuresSeen;
    EXPECT_EQ(status, SNMPAPI_FAILURE) << "allocation " << allowed;
    EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_ALLOC_ERROR) << "allocation " << allowed;
    EXPECT_EQ(oid.ptr, nullptr);
  }
  EXPECT_GT(failuresSeen, 0);
  EXPECT_EQ(netmgr::liveDescriptors(), descriptorsBefore);
}

TEST_F(ExportBoundary, MemoryExhaustionInTheBodyIsRecordedInTheSession) {
  SNMPAPI_STATUS status = runExport(Live<netmgr::Session>{session},
                                    [](CallFrame&, netmgr::Session&) -> SNMPAPI_STATUS { throw std::bad_alloc(); });
  EXPECT_EQ(status, SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_ALLOC_ERROR);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_ALLOC_ERROR);
}

TEST_F(ExportBoundary, AnyOtherExceptionIsError1AndANullHandle) {
  HSNMP_ENTITY made = runExport(Live<netmgr::Session>{session}, [](CallFrame&, netmgr::Session&) -> HSNMP_ENTITY {
    throw std::runtime_error("not for the application");
  });
  EXPECT_EQ(made, nullptr);
  EXPECT_EQ(SnmpGetLastError(nullptr), SNMPAPI_OTHER_ERROR);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_OTHER_ERROR);
}

// The handles are checked in the order given and the first refusal ends
// the call: the body never runs.
TEST_F(ExportBoundary, TheBodyRunsOnlyWhenEveryHandleIsAccepted) {
  HSNMP_ENTITY agent = entity("10.0.0.1");
  HSNMP_CONTEXT community = context("public");
  int bodies = 0;
  auto body = [&](CallFrame&, netmgr::Session&, netmgr::Entity*, netmgr::Context&) -> SNMPAPI_STATUS {
    ++bodies;
    return SNMPAPI_SUCCESS;
  };
  using netmgr::Optional;
  EXPECT_EQ(runExport(Live<netmgr::Session>{session}, Optional<netmgr::Entity>{nullptr},
                      Live<netmgr::Context>{community}, body),
            SNMPAPI_SUCCESS);
  EXPECT_EQ(runExport(Live<netmgr::Session>{session}, Optional<netmgr::Entity>{community},
                      Live<netmgr::Context>{agent}, body),
            SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_ENTITY_INVALID);
  EXPECT_EQ(bodies, 1);
}

}  // namespace
