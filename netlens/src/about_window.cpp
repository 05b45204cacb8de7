// The about window.
#include "about_window.h"

#include "artwork.h"
#include "browser_texts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

namespace netlens {

TFormAbout::TFormAbout(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("FormAbout"));
  auto* layout = new QVBoxLayout(this);
  auto* picture = new QLabel(this);
  picture->setPixmap(artwork::splashPicture(devicePixelRatioF()));
  layout->addWidget(picture);
  auto* facts = new QLabel(this);
  facts->setObjectName(QStringLiteral("LabelFacts"));
  facts->setTextFormat(Qt::PlainText);
  facts->setText(QString::fromLatin1(kApplicationTitle) + QStringLiteral("\nVersion ") +
                 QStringLiteral(ORVANE_VERSION) + QStringLiteral("\n\nRunning on ") + QSysInfo::prettyProductName() +
                 QStringLiteral(" (") + QSysInfo::currentCpuArchitecture() + QStringLiteral(")\nQt ") +
                 QString::fromLatin1(qVersion()));
  layout->addWidget(facts);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  ButtonOk = new QPushButton(this);
  ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
  ButtonOk->setDefault(true);
  connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
  buttons->addWidget(ButtonOk);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  setWelcome(false);
}

void TFormAbout::setWelcome(bool welcome) {
  setWindowTitle(welcome ? QStringLiteral("Welcome to Orvane MIB Browser")
                         : QStringLiteral("About Orvane MIB Browser Professional Edition"));
  ButtonOk->setText(welcome ? QStringLiteral("&Continue") : QStringLiteral("O&K"));
}

}  // namespace netlens
