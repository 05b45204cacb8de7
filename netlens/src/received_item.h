// One item taken off a session's queue with SnmpRecvMsg by a window that
// owns no request record: the discovery window and the trap console. It
// frees what it received when it goes. A failed receive hands back
// nothing of the receiver's (a time-out returns the sender's own handles),
// so then nothing is freed.
#pragma once

#include "winsnmp.h"

#include <QString>

namespace netlens {

class ReceivedItem {
 public:
  explicit ReceivedItem(HSNMP_SESSION session);
  ~ReceivedItem();
  ReceivedItem(const ReceivedItem&) = delete;
  ReceivedItem& operator=(const ReceivedItem&) = delete;

  bool received() const { return received_; }

  HSNMP_ENTITY source = nullptr;
  HSNMP_ENTITY destination = nullptr;
  HSNMP_CONTEXT context = nullptr;
  HSNMP_PDU pdu = nullptr;

 private:
  bool received_ = false;
};

// An entity's address as text, "" when it has none.
QString entityText(HSNMP_ENTITY entity);
// A context's community as the octet-string value text shows it.
QString communityText(HSNMP_CONTEXT context);

}  // namespace netlens
