// The Ping tab: checks before a run, a run against 127.0.0.1 (the only
// host it pings), and the trimming of its pane.
#include "browser_fixture.h"

#include "gui_application.h"
#include "ping_tab.h"

#include "platform/icmp.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>

namespace netlens {
namespace {

class PingTabTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    openWindow();
    tab_ = window().findChild<PingTab*>();
    ASSERT_NE(tab_, nullptr);
    tab_->MemoPingResults->clear();
  }
  QStringList lines() const { return tab_->MemoPingResults->toPlainText().split(QLatin1Char('\n')); }
  bool icmpAllowed() const {
    HANDLE probe = IcmpCreateFile();
    if (probe == INVALID_HANDLE_VALUE) return false;
    IcmpCloseHandle(probe);
    return true;
  }
  bool waitForRunEnd() {
    return processEventsUntil([&] { return !tab_->running(); }, std::chrono::seconds(60));
  }

  PingTab* tab_ = nullptr;
};

TEST_F(PingTabTest, FourRepliesFromLoopbackInOrder) {
  if (!icmpAllowed()) GTEST_SKIP() << "no ICMP socket for this user";
  tab_->EditPingHost->setEditText(QStringLiteral("127.0.0.1"));
  tab_->ButtonStartPinging->click();
  EXPECT_TRUE(tab_->running());
  EXPECT_FALSE(tab_->ButtonStartPinging->isEnabled());
  ASSERT_TRUE(waitForRunEnd());
  EXPECT_TRUE(tab_->ButtonStartPinging->isEnabled());
  QStringList shown = lines();
  ASSERT_EQ(shown.size(), 9) << shown.join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(shown[0], QStringLiteral("Pinging 127.0.0.1 with 32 bytes of data:"));
  EXPECT_EQ(shown[1], QString());
  QRegularExpression reply(QStringLiteral("^Reply from 127\\.0\\.0\\.1: bytes=32, time(<10|=[0-9]+)ms, TTL=[0-9]+$"));
  for (int index = 2; index < 6; ++index) EXPECT_TRUE(reply.match(shown[index]).hasMatch()) << shown[index].toStdString();
  EXPECT_EQ(shown.mid(6), (QStringList{QString(), QStringLiteral("OK."), QString()}));
  // The host pinged joins the history.
  EXPECT_NE(tab_->EditPingHost->findText(QStringLiteral("127.0.0.1")), -1);
}

TEST_F(PingTabTest, OutOfRangeSettingsFallBackToTheirDefaults) {
  if (!icmpAllowed()) GTEST_SKIP() << "no ICMP socket for this user";
  tab_->EditPingHost->setEditText(QStringLiteral("127.0.0.1"));
  tab_->EditPingRequests->setText(QStringLiteral("1"));
  for (const char* bytes : {"0", "2000"}) {
    tab_->MemoPingResults->clear();
    tab_->EditPingBytes->setText(QString::fromLatin1(bytes));
    tab_->EditPingTimeout->setText(QStringLiteral("-5"));
    tab_->ButtonStartPingingClick();
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(tab_->EditPingBytes->text(), QStringLiteral("32"));
    EXPECT_EQ(tab_->EditPingTimeout->text(), QStringLiteral("1000"));
    EXPECT_EQ(lines().first(), QStringLiteral("Pinging 127.0.0.1 with 32 bytes of data:"));
    EXPECT_TRUE(lines()[2].contains(QStringLiteral("bytes=32,"))) << lines()[2].toStdString();
  }
  tab_->MemoPingResults->clear();
  tab_->EditPingBytes->setText(QStringLiteral("1400"));
  tab_->ButtonStartPingingClick();
  ASSERT_TRUE(waitForRunEnd());
  EXPECT_TRUE(lines()[2].contains(QStringLiteral("bytes=1400,"))) << lines()[2].toStdString();
}

TEST_F(PingTabTest, HostNamesAreNotResolved) {
  tab_->EditPingHost->setEditText(QStringLiteral("localhost"));
  tab_->ButtonStartPingingClick();
  EXPECT_FALSE(tab_->running());
  QString expected = icmpAllowed() ? QStringLiteral("Bad IP address localhost")
                                   : QStringLiteral("ERROR: Could not initialize icmp.");
  EXPECT_EQ(lines(), QStringList{expected});
}

TEST_F(PingTabTest, PaneDropsItsOldestLines) {
  for (int line = 1; line <= 600; ++line) tab_->writeLine(QStringLiteral("line %1").arg(line));
  QStringList shown = lines();
  EXPECT_EQ(shown.size(), PingTab::kTrimLines + 1);
  EXPECT_EQ(shown.first(), QStringLiteral("line 100"));
  EXPECT_EQ(shown.last(), QStringLiteral("line 600"));

  tab_->MemoPingResults->clear();
  QString wide(199, QLatin1Char('x'));
  for (int line = 0; line < 300; ++line) tab_->writeLine(wide);
  EXPECT_LT(tab_->MemoPingResults->document()->characterCount(), PingTab::kTrimCharacters + 200);
  EXPECT_LE(tab_->MemoPingResults->document()->characterCount(), PingTab::kMaximumCharacters);
}

}  // namespace
}  // namespace netlens
