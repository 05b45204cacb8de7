// The worker that finds a table's rows: it walks one column of the table
// with GetNext requests on a session of its own (thread notification,
// message 1069) and hands every index it finds to `indexFound`. At the
// end of the column it posts message 1148 with 1095 to the window, on a
// receive error 1148 with 1094. Thread message 1068 stops it.
#pragma once

#include "platform/messages.h"
#include "winsnmp.h"

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace netlens {

class TThreadRetreiveTableIndexes {
 public:
  static constexpr UINT kDoneMessage = 1148;
  static constexpr WPARAM kColumnWalked = 1095;
  static constexpr WPARAM kDiscoveryFailed = 1094;
  static constexpr UINT kSessionMessage = 1069;
  static constexpr UINT kStopMessage = 1068;

  struct Target {
    std::string agent;
    UINT port = 161;
    std::string managerAddress;
    std::string community;
    std::vector<smiUINT32> column;
  };

  // Starts the thread; `indexFound` is called on it, in the order found.
  // running() is false when the thread could not start.
  TThreadRetreiveTableIndexes(const Target& target, HWND window, UINT message,
                              std::function<void(const std::string&)> indexFound);
  // Stops the thread (thread message 1068) and waits for it.
  ~TThreadRetreiveTableIndexes();
  TThreadRetreiveTableIndexes(const TThreadRetreiveTableIndexes&) = delete;
  TThreadRetreiveTableIndexes& operator=(const TThreadRetreiveTableIndexes&) = delete;

  bool running() const { return threadId_ != 0; }

 private:
  void run(std::function<void(DWORD)> started);

  Target target_;
  HWND window_;
  UINT message_;
  std::function<void(const std::string&)> indexFound_;
  DWORD threadId_ = 0;
  std::thread thread_;
};

// The index an OID of a column names: the part after the column's OID
// text and its dot; "" when the OID does not lie under the column.
std::string indexAfterColumn(const std::string& oidText, const std::string& columnText);

}  // namespace netlens
