// CInfoView shows the selected node's text; CLogView is where the
// compiler's messages go, one line each. Both are read-only text in the
// system's fixed-width font, so the columns of the source and of the
// statistics lines stay aligned.
#pragma once

#include "modforge/compile_log.h"

#include <QPlainTextEdit>

namespace modforge {

class CInfoView final : public QPlainTextEdit {
 public:
  explicit CInfoView(QWidget* parent = nullptr);
  // Shows text with "\r\n" line ends.
  void showText(const std::string& text);
};

class CLogView final : public QPlainTextEdit, public CompileLog {
 public:
  explicit CLogView(QWidget* parent = nullptr);
  // Appends the message and a line end, and keeps the end in sight.
  void message(std::string_view text) override;
};

}  // namespace modforge
