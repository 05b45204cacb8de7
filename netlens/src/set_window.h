// The Set window: one SetRequest to one agent, for the OID of a MIB node
// (with its instance) or any OID typed in, with a value of the chosen
// syntax. It owns a session of its own; the answer comes to the window as
// message 1027 and is printed in the main window's results pane.
#pragma once

#include "agent_request.h"
#include "mib_node.h"
#include "status_light.h"
#include "set_value.h"

#include "platform/gui_bridge.h"

#include <QWidget>

#include <map>
#include <optional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QToolButton;

namespace netlens {

class BrowserHost;

class TFormMibSet : public QWidget {
  Q_OBJECT

 public:
  static constexpr UINT kNotifyMessage = WM_USER + 3;

  TFormMibSet(BrowserHost& host, QWidget* owner);
  ~TFormMibSet() override;

  // Fills the window for a node of the loaded MIB (none: an empty OID) and
  // an agent; `suffix` is the instance to set, ".0" or ".1" (in a table)
  // when none is given.
  void prepare(const QString& agent, const QString& nodeName, const std::optional<QString>& suffix = std::nullopt);
  // Checks the input and sends the SetRequest.
  void ButtonSetClick();
  // Gives up the request in flight and closes the session.
  void ButtonCancelClick();
  void clearHistories();

  bool busy() const { return busy_; }
  QString statusText() const;
  TSemaphoreState lightState() const { return semaphore_.SemaphoreState(); }
  HWND handle() const { return window_.handle(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  LRESULT windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void answerArrived();
  void requestTimedOut();
  std::optional<smiUINT32> checkedSyntax() const;
  void checkSyntaxButton(smiUINT32 syntax);
  bool checkInput();
  bool refuse(const QString& status, const QString& message);
  void send(const SessionPolicy& policy);
  void setStatus(const QString& text, TSemaphoreState light);
  void setBusy(bool busy);
  QWidget* makeAgentGroup();
  QWidget* makeSyntaxGroup();
  QWidget* makeVariableGroup();

  BrowserHost& host_;
  platform::gui::BridgedWindow window_;
  TAgentRequest request_;
  TSemaphore semaphore_;
  SetValue value_;
  OwnedOid oid_;
  bool busy_ = false;

  QComboBox* ComboBoxAgent;
  QComboBox* ComboBoxCommunity;
  QComboBox* ComboBoxPort;
  QComboBox* ComboBoxOid;
  QComboBox* ComboBoxValue;
  QButtonGroup* syntaxButtons_;
  QToolButton* ButtonSet;
  QToolButton* ButtonCancel;
  QLabel* statusPanel_;
};

}  // namespace netlens
