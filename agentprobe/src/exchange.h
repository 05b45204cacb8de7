// The probe's exchange with one agent: one request at a time, the next
// sent from the handler of the previous answer, driven by the session's
// notifications to a hidden window.
#pragma once

#include "oid_choice.h"
#include "probe_settings.h"
#include "value_conversion.h"
#include "winsnmp.h"

#include "platform/messages.h"

namespace agentprobe {

// The session's notification message, the thread message that ends the
// message loop, and the window timer that bounds the wait for an answer.
constexpr UINT kNotificationMessage = 1025;
constexpr UINT kEndMessage = 1026;
constexpr UINT_PTR kAnswerDeadlineTimer = 1;

// Exit codes of a run that reached the agent.
constexpr int kExchangeRan = 1;
constexpr int kAgentReportedError = 2;

class ReceivedMessage;

class Exchange {
 public:
  // `setValue` is sent when `choice` asks for a Set.
  Exchange(const Settings& settings, OidChoice choice, consoleformat::OwnedValue setValue)
      : settings_(settings), choice_(std::move(choice)), setValue_(std::move(setValue)) {}
  ~Exchange();
  Exchange(const Exchange&) = delete;
  Exchange& operator=(const Exchange&) = delete;

  // Opens the session on `window`, prints the OIDs and sends the first
  // request. False when the session cannot be opened or the end OID lies
  // before the start OID.
  bool open(HWND window);
  // Handles one notification (message 1025).
  void answerArrived();
  // Handles the answer deadline's timer: the request in flight got no
  // answer that the probe could take.
  void deadlinePassed();
  int exitCode() const { return agentReportedError_ ? kAgentReportedError : kExchangeRan; }

 private:
  enum class Progress { going, finished, stopped };

  smiINT walkRequest() const;
  void sendRequest(smiINT type);
  bool transmit();
  const char* strayReason(const ReceivedMessage& message) const;
  void ignoreStray(const ReceivedMessage& message, const char* reason);
  void handleAnswer(const ReceivedMessage& message);
  void reportAgentError(const ReceivedMessage& message);
  Progress printBindings(HSNMP_VBL list, bool walking);
  void printBinding(const smiOID& name, const smiVALUE& value);
  void printOid(const char* label, const smiOID& oid);
  std::string oidText(const smiOID& oid) const;
  bool endsBefore(const smiOID& name) const;
  void timedOut();
  void finishRun(const std::string& text);

  const Settings& settings_;
  OidChoice choice_;
  consoleformat::OwnedValue setValue_;
  HWND window_ = nullptr;
  HSNMP_SESSION session_ = nullptr;
  HSNMP_ENTITY agent_ = nullptr;
  HSNMP_ENTITY source_ = nullptr;
  HSNMP_CONTEXT context_ = nullptr;
  smiOID current_{};
  smiOID end_{};
  smiINT32 requestCounter_ = 0;
  // The request in flight, the only one whose answer is taken.
  smiINT32 inFlightId_ = 0;
  smiINT inFlightType_ = 0;
  int resendsLeft_ = 0;
  bool setMode_ = false;
  bool ended_ = false;
  bool agentReportedError_ = false;
  int lineNumber_ = 1;
  int unreadableAnswers_ = 0;  // datagrams the library could not decode
  int strayAnswers_ = 0;       // decoded, but not the answer to the request in flight
};

}  // namespace agentprobe
