#include "text_views.h"

#include <QFontDatabase>
#include <QScrollBar>

namespace modforge {
namespace {

QString withoutCarriageReturns(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).remove(QLatin1Char('\r'));
}

void makeReadOnlyText(QPlainTextEdit& view) {
  view.setReadOnly(true);
  view.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  view.setTabStopDistance(4 * view.fontMetrics().horizontalAdvance(QLatin1Char(' ')));
}

// Errors and warnings stand out from the progress lines around them.
QTextCharFormat messageFormat(std::string_view text) {
  QTextCharFormat format;
  if (text.find("*** ") != std::string_view::npos) format.setForeground(QColor(0xB0, 0x10, 0x10));
  else if (text.find("WARNING!") != std::string_view::npos) format.setForeground(QColor(0x9A, 0x5B, 0x00));
  return format;
}

}  // namespace

CInfoView::CInfoView(QWidget* parent) : QPlainTextEdit(parent) {
  makeReadOnlyText(*this);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void CInfoView::showText(const std::string& text) { setPlainText(withoutCarriageReturns(text)); }

CLogView::CLogView(QWidget* parent) : QPlainTextEdit(parent) {
  makeReadOnlyText(*this);
  setLineWrapMode(QPlainTextEdit::NoWrap);
}

void CLogView::message(std::string_view text) {
  QTextCursor end(document());
  end.movePosition(QTextCursor::End);
  end.insertText(withoutCarriageReturns(text) + QLatin1Char('\n'), messageFormat(text));
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

}  // namespace modforge
