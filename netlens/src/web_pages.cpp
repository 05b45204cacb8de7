// Opening the maker's web pages.
#include "web_pages.h"

#include "artwork.h"

#include "weblaunch.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>

namespace netlens {
namespace {

QAction* pageAction(QObject* parent, const QString& caption, unsigned code) {
  auto* action = new QAction(caption, parent);
  action->setData(code);
  QObject::connect(action, &QAction::triggered, action, [code] { setURL(code); });
  return action;
}

}  // namespace

void addWebPageItems(QMenu& help) {
  help.addAction(pageAction(&help, QStringLiteral("Orvane on the &Web"), WEBLAUNCH_HOME_PAGE));
  help.addAction(pageAction(&help, QStringLiteral("MIB &Browser Home Page"), WEBLAUNCH_MIB_BROWSER_PAGE));
  help.addAction(pageAction(&help, QStringLiteral("MIB &Compiler Home Page"), WEBLAUNCH_MIB_COMPILER_PAGE));
  help.addAction(pageAction(&help, QStringLiteral("Technical &Support"), WEBLAUNCH_SUPPORT_PAGE));
}

void addHomePageButton(QToolBar& toolbar) {
  QAction* home = pageAction(&toolbar, QStringLiteral("Orvane on the Web"), WEBLAUNCH_HOME_PAGE);
  home->setIcon(artwork::glyph(artwork::Glyph::homePage));
  home->setToolTip(QStringLiteral("Visit the Orvane Home Page"));
  toolbar.addAction(home);
  toolbar.widgetForAction(home)->setObjectName(QStringLiteral("SpeedButtonHomePage"));
}

}  // namespace netlens
