// The "Agent Properties" dialog of an info window: agent, community and
// SNMP port, each box borrowing the main window's history.
#pragma once

#include <QDialog>

class QComboBox;

namespace netlens {

class BrowserHost;

class TFormInfoProperties : public QDialog {
  Q_OBJECT

 public:
  TFormInfoProperties(BrowserHost& host, QWidget* parent);

  void setValues(const QString& agent, const QString& community, const QString& port);
  QString agent() const;
  QString community() const;
  QString port() const;

 private:
  QComboBox* ComboBoxAgent;
  QComboBox* ComboBoxCommunity;
  QComboBox* ComboBoxPort;
};

}  // namespace netlens
