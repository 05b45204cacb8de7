// What the secondary windows ask of the main window: its shared history
// lists, the settings of its Preferences tab, its results pane, and a way
// back to it.
#pragma once

#include "agent_request.h"
#include "history_lists.h"

#include <QObject>
#include <QString>

#include <optional>
#include <string>

class QComboBox;

namespace netlens {

enum class SharedHistory { agents, communities, ports };

class BrowserHost {
 public:
  virtual HistoryLists& histories() = 0;
  // The main window's box that keeps this history.
  virtual QComboBox& historyBox(SharedHistory which) = 0;
  virtual QString managerAddress() const = 0;
  // Retransmits and timeout from the Preferences tab (the port too); a box
  // that does not hold a number is reported to the user and gives nullopt.
  virtual std::optional<SessionPolicy> sessionPolicy() = 0;
  virtual void addResultLine(const QString& line) = 0;
  virtual void bringToFront() = 0;

 protected:
  ~BrowserHost() = default;
};

// Makes `box` borrow the main window's history of `which`: entering it
// copies that list in, leaving it adds its text to its own list and gives
// the list back.
void shareHistory(QComboBox& box, SharedHistory which, BrowserHost& host);

// Reads an integer typed into a box; otherwise tells the user, as the
// platform does for text that is no number, and gives nullopt.
std::optional<int> integerFromText(const QString& text);

}  // namespace netlens
