// Items received by windows without a request record.
#include "received_item.h"

#include "binding_text.h"

namespace netlens {

ReceivedItem::ReceivedItem(HSNMP_SESSION session) {
  received_ = session && SnmpRecvMsg(session, &source, &destination, &context, &pdu) == SNMPAPI_SUCCESS;
}

ReceivedItem::~ReceivedItem() {
  if (!received_) return;
  if (pdu) {
    HSNMP_VBL list = nullptr;
    if (SnmpGetPduData(pdu, nullptr, nullptr, nullptr, nullptr, &list) && list) SnmpFreeVbl(list);
    SnmpFreePdu(pdu);
  }
  for (HSNMP_ENTITY entity : {source, destination}) {
    if (entity) SnmpFreeEntity(entity);
  }
  if (context) SnmpFreeContext(context);
}

QString entityText(HSNMP_ENTITY entity) {
  char text[41] = {};
  if (!entity || !SnmpEntityToStr(entity, sizeof text, text)) return QString();
  return QString::fromLatin1(text);
}

QString communityText(HSNMP_CONTEXT context) {
  smiOCTETS community{};
  if (!context || !SnmpContextToStr(context, &community)) return QString();
  QString text = QString::fromStdString(octetsText(community));
  SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, reinterpret_cast<smiLPOPAQUE>(&community));
  return text;
}

}  // namespace netlens
