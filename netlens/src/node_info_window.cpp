// The node-properties window.
#include "node_info_window.h"

#include "artwork.h"
#include "browser_host.h"
#include "browser_texts.h"
#include "window_layout.h"

#include <QPlainTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace netlens {
namespace {

const WindowPlace kPlace{"Layouts\\Node Properties", 20, 20, QSize(480, 360)};

}  // namespace

TFormNodeInfo::TFormNodeInfo(BrowserHost& host, QWidget* owner) : QWidget(owner, Qt::Window) {
  setObjectName(QStringLiteral("FormNodeInfo"));
  setWindowTitle(QStringLiteral("MIB Node Properties"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* tools = new QToolBar(this);
  tools->setIconSize(QSize(16, 16));
  QAction* back = tools->addAction(artwork::glyph(artwork::Glyph::goToBrowser), QString::fromLatin1(kGoToBrowserHint));
  connect(back, &QAction::triggered, this, [&host] { host.bringToFront(); });
  layout->addWidget(tools);
  MemoNodeInfo = new QPlainTextEdit(this);
  MemoNodeInfo->setObjectName(QStringLiteral("MemoNodeInfo"));
  MemoNodeInfo->setReadOnly(true);
  MemoNodeInfo->setFrameShape(QFrame::NoFrame);
  layout->addWidget(MemoNodeInfo);
  setMinimumHeight(60);
  restoreWindowPlace(*this, kPlace);
}

TFormNodeInfo::~TFormNodeInfo() { storeWindowPlace(*this, kPlace); }

void TFormNodeInfo::showText(const QString& caption, const QStringList& lines) {
  setWindowTitle(caption);
  MemoNodeInfo->setPlainText(lines.join(QLatin1Char('\n')));
  show();
  raise();
  activateWindow();
}

QString TFormNodeInfo::text() const { return MemoNodeInfo->toPlainText(); }

}  // namespace netlens
