// Outstanding requests: creation, retransmission, time-out and withdrawal.
#include "outstanding_request.h"

#include "descriptors.h"
#include "handles.h"
#include "session.h"
#include "timer_service.h"

#include "platform/heap.h"
#include "udpwire/datagram_socket.h"
#include "udpwire/ptr_list.h"

#include <cstring>

namespace netmgr {
namespace {

platform::CountedHeap requestHeap;

bool sessionStillLive(const OutstandingRequest& request) {
  auto* session = reinterpret_cast<Session*>(findLive(ObjectKind::session, request.session));
  return session && session->header.serial == request.sessionSerial;
}

void discardRequest(void* request) { releaseRequest(static_cast<OutstandingRequest*>(request)); }

}  // namespace

OutstandingRequest* createRequest(const char* address, smiOCTETS message) {
  size_t addressLength = std::strlen(address);
  auto* request = requestHeap.make<OutstandingRequest>();
  char* copy = request ? static_cast<char*>(requestHeap.allocate(addressLength + 1)) : nullptr;
  if (!copy) {
    requestHeap.dispose(request);
    return nullptr;
  }
  std::memcpy(copy, address, addressLength + 1);
  request->marker = kRequestMarker;
  request->address = copy;
  request->message = message;
  return request;
}

void releaseRequest(OutstandingRequest* request) {
  if (!request) return;
  request->marker = 0;
  releaseDescriptor(request->message.ptr);
  requestHeap.release(request->address);
  requestHeap.dispose(request);
}

uint32_t scheduleExpiry(Session& session, OutstandingRequest& request) {
  return addTimer(request.timeout, {expireRequest, &request, discardRequest}, request.destination, &session,
                  request.requestId, static_cast<uint8_t>(request.version));
}

void writeRequest(Session& session, const OutstandingRequest& request) {
  if (session.socket) {
    session.socket->Write(static_cast<int>(request.message.len), request.message.ptr, request.address,
                          request.port);
  }
}

void expireRequest(void* argument) {
  auto* request = static_cast<OutstandingRequest*>(argument);
  if (!sessionStillLive(*request)) {
    releaseRequest(request);
    return;
  }
  Session& session = *request->session;
  platform::CriticalSectionGuard guard(session.lock);
  if (request->state == RequestState::retransmissionPending) {
    request->retriesLeft -= 1;
    if (request->retriesLeft < 1) request->state = RequestState::final;
    // Without a timer entry the request could never end: give it up.
    if (scheduleExpiry(session, *request)) {
      releaseRequest(request);
      return;
    }
    writeRequest(session, *request);
    return;
  }
  releaseDescriptor(request->message.ptr);
  request->message = {0, nullptr};
  if (!session.timedOut->AddTail(request)) {
    releaseRequest(request);
    return;
  }
  notifyApplication(session);
}

void withdrawRequestsTo(const Entity* entity) {
  TimerList::consume(timers().withdrawEntity(entity), [](TimerEntry& entry) { discardRequest(entry.task.argument); });
}

}  // namespace netmgr
