#include "platform/gui_bridge.h"
#include "platform/message_box.h"

#include "gui_application.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QPushButton>
#include <QMessageBox>
#include <QTimer>

#include <atomic>
#include <thread>

namespace {

struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QList<QMessageBox::StandardButton> buttons;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

class MessageBoxDialogs : public testing::Test {
 protected:
  void SetUp() override {
    guiApplication();
    platform::gui::installMessageBoxDialogs();
  }
  void TearDown() override { platform::setMessageBoxHook(nullptr); }

  // Presses `button` on the next message box that opens, noting what it showed.
  void pressWhenShown(QMessageBox::StandardButton button) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [this, poll, button] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      seen.title = box->windowTitle();
      seen.text = box->text();
      seen.icon = box->icon();
      for (QAbstractButton* shown : box->buttons()) seen.buttons.push_back(box->standardButton(shown));
      if (box->defaultButton()) seen.defaultButton = box->standardButton(box->defaultButton());
      box->button(button)->click();
      poll->deleteLater();
    });
    poll->start(10);
  }

  SeenBox seen;
};

TEST_F(MessageBoxDialogs, AQuestionShowsItsTextAndAnswersWithTheButtonPressed) {
  pressWhenShown(QMessageBox::No);
  int answer = MessageBox(nullptr, "Compiled MIB Tree will be lost!\r\nDo you wish to proceed?", "Warning",
                          MB_YESNO | MB_ICONWARNING);
  EXPECT_EQ(answer, IDNO);
  EXPECT_EQ(seen.title, "Warning");
  EXPECT_EQ(seen.text, "Compiled MIB Tree will be lost!\nDo you wish to proceed?");
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  EXPECT_EQ(seen.buttons.size(), 2);
  EXPECT_EQ(seen.defaultButton, QMessageBox::Yes);
}

TEST_F(MessageBoxDialogs, ButtonsIconsAndDefaultsFollowTheBoxType) {
  pressWhenShown(QMessageBox::Cancel);
  EXPECT_EQ(MessageBox(nullptr, "text", "Error", MB_OKCANCEL | MB_ICONERROR | MB_DEFBUTTON2), IDCANCEL);
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.defaultButton, QMessageBox::Cancel);

  seen = {};
  pressWhenShown(QMessageBox::Ok);
  EXPECT_EQ(MessageBox(nullptr, "notice", "Information", MB_OK | MB_ICONINFORMATION), IDOK);
  EXPECT_EQ(seen.icon, QMessageBox::Information);
  EXPECT_EQ(seen.buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
}

TEST_F(MessageBoxDialogs, ABoxFromAnotherThreadIsShownOnTheGuiThread) {
  pressWhenShown(QMessageBox::Yes);
  std::atomic<int> answer{-1};
  std::thread library([&] { answer = MessageBox(nullptr, "from a library", "Warning from weblaunch.dll", MB_YESNO); });
  EXPECT_TRUE(processEventsUntil([&] { return answer != -1; }));
  library.join();
  EXPECT_EQ(answer, IDYES);
  EXPECT_EQ(seen.text, "from a library");
}

}  // namespace
