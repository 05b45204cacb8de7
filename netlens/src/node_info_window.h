// The node-properties window: a read-only text of a MIB node's attributes
// or of a module database's facts.
#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace netlens {

class BrowserHost;

class TFormNodeInfo : public QWidget {
  Q_OBJECT

 public:
  TFormNodeInfo(BrowserHost& host, QWidget* owner);
  ~TFormNodeInfo() override;

  // Shows the window (or brings it to the front) with these lines.
  void showText(const QString& caption, const QStringList& lines);
  QString text() const;

 private:
  QPlainTextEdit* MemoNodeInfo;
};

}  // namespace netlens
