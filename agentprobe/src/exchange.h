// The probe's exchange with one agent: one request at a time, the next
// sent from the handler of the previous answer, driven by the session's
// notifications to a hidden window.
#pragma once

#include "oid_choice.h"
#include "probe_settings.h"
#include "winsnmp.h"

#include "platform/messages.h"

namespace agentprobe {

// The session's notification message, and the thread message that ends
// the message loop.
constexpr UINT kNotificationMessage = 1025;
constexpr UINT kEndMessage = 1026;

class Exchange {
 public:
  explicit Exchange(const Settings& settings) : settings_(settings) {}
  ~Exchange();
  Exchange(const Exchange&) = delete;
  Exchange& operator=(const Exchange&) = delete;

  // Opens the session on `window`, prints the OIDs and sends the first
  // request. False when the session cannot be opened or the end OID lies
  // before the start OID.
  bool open(HWND window);
  // Handles one notification (message 1025).
  void answerArrived();

 private:
  enum class Progress { going, finished, stopped };

  void sendRequest(smiINT type);
  Progress printBindings(HSNMP_VBL list, bool walking);
  void printOid(const char* label, const smiOID& oid);
  bool endsBefore(const smiOID& name) const;
  void finishRun(const char* text);

  const Settings& settings_;
  HSNMP_SESSION session_ = nullptr;
  HSNMP_ENTITY agent_ = nullptr;
  HSNMP_ENTITY source_ = nullptr;
  HSNMP_CONTEXT context_ = nullptr;
  smiOID current_{};
  smiOID end_{};
  smiVALUE setValue_{};
  smiINT32 requestCounter_ = 0;
  smiINT lastRequestType_ = 0;
  bool setMode_ = false;
  int lineNumber_ = 1;
};

}  // namespace agentprobe
