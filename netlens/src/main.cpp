// netlens, the MIB browser: the main window, then the splash picture for
// two seconds and the welcome, as the settings ask.
#include "about_window.h"
#include "artwork.h"
#include "browser_texts.h"
#include "main_window.h"
#include "preferences_tab.h"
#include "settings_key.h"

#include "platform/gui_bridge.h"

#include <QApplication>
#include <QCheckBox>
#include <QSplashScreen>
#include <QTimer>

#include <memory>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(netlens::kApplicationTitle));
  QApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));
  platform::gui::installMessageBoxDialogs();

  netlens::TZormNL32 window;
  if (!window.started()) return 1;
  window.show();

  auto welcome = [&window] {
    if (!window.preferencesTab()->CheckBoxAboutOnStartup->isChecked()) return;
    window.aboutWindow()->setWelcome(true);
    window.aboutWindow()->exec();
    window.aboutWindow()->setWelcome(false);
  };
  std::unique_ptr<QSplashScreen> splash;
  if (netlens::SettingsKey("Preferences\\MIB Browser").readFlag("Splash on startup", true)) {
    splash = std::make_unique<QSplashScreen>(netlens::artwork::splashPicture(window.devicePixelRatioF()));
    splash->show();
    QTimer::singleShot(2000, &window, [&splash, welcome] {
      splash.reset();
      welcome();
    });
  } else {
    QTimer::singleShot(0, &window, welcome);
  }
  return application.exec();
}
