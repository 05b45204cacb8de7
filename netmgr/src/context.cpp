// Context exports: creation from octets, copy out, release.
#include "context.h"

#include "call_frame.h"
#include "descriptors.h"

#include <cstring>
#include <new>

namespace netmgr {
namespace {
platform::CountedHeap& contextHeap() { return heapOf(ObjectKind::context); }
}

// One block holds the context and its community, right after it.
Context* makeContext(Session* session, const smiBYTE* community, smiUINT32 length, uint32_t serial) {
  void* block = contextHeap().allocate(sizeof(Context) + size_t{length} + 1);
  if (!block) return nullptr;
  auto* context = new (block) Context{};
  auto* copy = reinterpret_cast<smiBYTE*>(context + 1);
  if (length > 0) std::memcpy(copy, community, length);
  copy[length] = 0;
  context->header.session = session;
  context->header.serial = serial;
  context->syntax = SNMP_SYNTAX_OCTETS;
  context->length = length;
  context->community = copy;
  return context;
}

Context* createContext(Session* session, const smiBYTE* community, smiUINT32 length) {
  Context* context = makeContext(session, community, length, nextSerial());
  if (context && registerObject(ObjectKind::context, &context->header) != 0) {
    releaseContext(context);
    return nullptr;
  }
  return context;
}

void releaseContext(Context* context) { contextHeap().dispose(context); }

void releaseAllContexts() {
  while (ObjectHeader* object = firstLive(ObjectKind::context)) {
    if (retireObject(ObjectKind::context, object)) releaseContext(reinterpret_cast<Context*>(object));
  }
}

}  // namespace netmgr

using namespace netmgr;

extern "C" {

HSNMP_CONTEXT SnmpStrToContext(HSNMP_SESSION sessionHandle, smiLPCOCTETS community) {
  return runExport(Live<Session>{sessionHandle}, [&](CallFrame& frame, Session& session) -> HSNMP_CONTEXT {
    if (!community || (community->len > 0 && !community->ptr)) {
      return frame.failWith<HSNMP_CONTEXT>(SNMPAPI_CONTEXT_UNKNOWN);
    }
    Context* context = createContext(&session, community->ptr, community->len);
    if (!context) return frame.failWith<HSNMP_CONTEXT>(SNMPAPI_ALLOC_ERROR);
    return context;
  });
}

SNMPAPI_STATUS SnmpContextToStr(HSNMP_CONTEXT handle, smiLPOCTETS community) {
  return runExport(Live<Context>{handle}, [&](CallFrame& frame, Context& context) -> SNMPAPI_STATUS {
    if (!community) return frame.fail(SNMPAPI_NO_OUTPUT_DESCRIPTOR);
    community->len = 0;
    community->ptr = nullptr;
    if (context.length == 0) return SNMPAPI_SUCCESS;
    auto* copy = static_cast<smiBYTE*>(allocateDescriptor(context.length));
    if (!copy) return frame.fail(SNMPAPI_ALLOC_ERROR);
    std::memcpy(copy, context.community, context.length);
    community->len = context.length;
    community->ptr = copy;
    return SNMPAPI_SUCCESS;
  });
}

SNMPAPI_STATUS SnmpFreeContext(HSNMP_CONTEXT handle) {
  return runExport(Taken<Context>{handle}, [&](CallFrame&, Context& context) -> SNMPAPI_STATUS {
    releaseContext(&context);
    return SNMPAPI_SUCCESS;
  });
}

}  // extern "C"
