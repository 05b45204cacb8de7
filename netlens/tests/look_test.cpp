// How the windows look after real work: no caption, label or button is
// cut off. With ORVANE_SCREENSHOT_DIR set, each window is also saved as a
// picture there, for a person to judge.
#include "browser_fixture.h"

#include "about_window.h"
#include "gui_application.h"
#include "mib_tab.h"
#include "net_snmp_agent.h"
#include "node_info_window.h"
#include "query_tab.h"
#include "required_peer.h"
#include "set_window.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>

#include <cstdlib>

namespace netlens {
namespace {

// Widgets whose text would be clipped: narrower or lower than they ask.
QStringList clippedTexts(QWidget& window) {
  QStringList clipped;
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    if (!widget->isVisibleTo(&window)) continue;
    QString text;
    if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
    else if (auto* group = qobject_cast<QGroupBox*>(widget)) text = group->title();
    if (text.isEmpty()) continue;
    QSize wanted = widget->minimumSizeHint();
    if (widget->width() < wanted.width() || widget->height() < wanted.height()) {
      clipped << text + QStringLiteral(" (") + QString::number(widget->width()) + QStringLiteral(" < ") +
                     QString::number(wanted.width()) + QStringLiteral(")");
    }
  }
  return clipped;
}

void keepPicture(QWidget& window, const char* name) {
  const char* folder = std::getenv("ORVANE_SCREENSHOT_DIR");
  if (!folder || !*folder) return;
  window.grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + QString::fromLatin1(name) +
                     QStringLiteral(".png"));
}

class Look : public BrowserTest {};

TEST_F(Look, NothingIsCutOffAfterAWalk) {
  NetSnmpAgent agent;
  if (!agent.start()) ORVANE_MISSING_PEER() << "snmpd did not start";
  if (!registerStandardModules()) ORVANE_MISSING_PEER() << "the standard MIB sources are not in the cache";
  openWindow();
  window().loadAllModules();
  useAgent(agent.port());
  contactAgent();
  selectNode(QStringLiteral("system"));
  window().queryTab()->MibTreeView->expandItem(window().queryTab()->MibTreeView->currentItem());
  window().pages()->setCurrentWidget(window().queryTab());
  window().SpeedButtonQueryClick();
  ASSERT_TRUE(waitForState(qsFinished));
  processEventsUntil([] { return false; }, std::chrono::milliseconds(300));
  EXPECT_EQ(clippedTexts(window()), QStringList());
  keepPicture(window(), "query-tab-first-size");
  window().resize(520, 560);
  processEventsUntil([] { return false; }, std::chrono::milliseconds(300));
  EXPECT_EQ(clippedTexts(window()), QStringList());
  keepPicture(window(), "query-tab");

  for (QWidget* page : {static_cast<QWidget*>(window().mibTab()), window().pages()->widget(2),
                        window().pages()->widget(3)}) {
    window().pages()->setCurrentWidget(page);
    QCoreApplication::processEvents();
    EXPECT_EQ(clippedTexts(window()), QStringList()) << window().pages()->tabText(window().pages()->currentIndex()).toStdString();
    keepPicture(window(), page == window().mibTab() ? "mib-tab" : page == window().pages()->widget(2) ? "ping-tab" : "preferences-tab");
  }

  selectNode(QStringLiteral("sysContact"));
  window().SpeedButtonSetClick();
  TFormMibSet& set = *window().setWindow();
  set.findChild<QComboBox*>(QStringLiteral("ComboBoxValue"))->setEditText(QStringLiteral("Jo Bloggs"));
  QCoreApplication::processEvents();
  EXPECT_EQ(clippedTexts(set), QStringList());
  keepPicture(set, "set-window");

  selectNode(QStringLiteral("sysDescr"));
  window().SpeedButtonMibNodeInfoClick();
  QCoreApplication::processEvents();
  keepPicture(*window().nodeInfoWindow(), "node-properties");

  TFormAbout& about = *window().aboutWindow();
  about.setWelcome(true);
  about.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(clippedTexts(about), QStringList());
  keepPicture(about, "about");
  about.hide();
}

}  // namespace
}  // namespace netlens
