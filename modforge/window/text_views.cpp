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
  end.insertText(withoutCarriageReturns(text) + QLatin1Char('\n'));
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

}  // namespace modforge
