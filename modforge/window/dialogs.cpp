#include "dialogs.h"

#include "platform/message_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace modforge {

const char* const kSourceFileFilter = "MIB files (*.mib *.smi *.mi2 *.sm2);;Text files (*.txt);;All files (*)";

QString chooseSourceFile(QWidget* parent, const QString& title, const QString& folder) {
  return QFileDialog::getOpenFileName(parent, title, folder, QString::fromLatin1(kSourceFileFilter));
}

CompileDialog::CompileDialog(QWidget* parent, const QString& suggested, const QString& browseFolder)
    : QDialog(parent), file_(new QLineEdit(suggested)), browseFolder_(browseFolder) {
  setWindowTitle(tr("Compile"));
  auto* browse = new QPushButton(tr("&Browse..."));
  connect(browse, &QPushButton::clicked, this, [this] {
    QString start = file_->text().isEmpty() ? browseFolder_ : QFileInfo(file_->text()).absolutePath();
    QString chosen = chooseSourceFile(this, tr("MIB Source File"), start);
    if (!chosen.isEmpty()) file_->setText(chosen);
  });
  file_->setMinimumWidth(file_->fontMetrics().averageCharWidth() * 60);
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(file_, 1);
  fileRow->addWidget(browse);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* label = new QLabel(tr("MIB &source file:"));
  label->setBuddy(file_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addLayout(fileRow);
  layout->addWidget(buttons);
}

QString CompileDialog::sourceFile() const { return file_->text().trimmed(); }

void CompileDialog::accept() {
  if (sourceFile().isEmpty()) return;
  if (!QFileInfo(sourceFile()).isFile()) {
    std::string text = "File " + sourceFile().toStdString() + "\ndoes not exist.";
    MessageBoxA(nullptr, text.c_str(), "Error", MB_OK | MB_ICONERROR);
    return;
  }
  QDialog::accept();
}

PreferencesDialog::PreferencesDialog(QWidget* parent, const Preferences& current)
    : QDialog(parent),
      current_(current),
      warningLevel_(new QComboBox),
      warnOverwrite_(new QCheckBox(tr("Ask before &overwriting a file"))),
      warnNotSaved_(new QCheckBox(tr("Ask to save compiled modules before they are &lost"))),
      warnBeforeRemove_(new QCheckBox(tr("Ask before &removing the compiled modules"))),
      fullExpand_(new QCheckBox(tr("&Expand the whole tree after a compile"))),
      setFileTypes_(new QCheckBox(tr("Register the MIB source &file types at start"))),
      saveSourcePaths_(new QCheckBox(tr("Record the &source paths in the module registry"))) {
  setWindowTitle(tr("Preferences"));
  warningLevel_->addItems({tr("0: no warnings"), tr("1: missing parents"),
                           tr("2: also duplicate OIDs and type redefinitions")});
  warningLevel_->setCurrentIndex(std::clamp(current.warningLevel, 0, 2));
  warnOverwrite_->setChecked(current.warnOverwrite);
  warnNotSaved_->setChecked(current.warnNotSaved);
  warnBeforeRemove_->setChecked(current.warnBeforeRemove);
  fullExpand_->setChecked(current.mibFullExpand);
  setFileTypes_->setChecked(current.setFileTypes);
  saveSourcePaths_->setChecked(current.saveSourcePaths);

  auto* level = new QFormLayout;
  level->addRow(tr("&Warning level:"), warningLevel_);
  auto* questions = new QGroupBox(tr("Questions"));
  auto* questionList = new QVBoxLayout(questions);
  for (QCheckBox* box : {warnOverwrite_, warnNotSaved_, warnBeforeRemove_}) questionList->addWidget(box);
  auto* behaviour = new QGroupBox(tr("Behaviour"));
  auto* behaviourList = new QVBoxLayout(behaviour);
  for (QCheckBox* box : {fullExpand_, setFileTypes_, saveSourcePaths_}) behaviourList->addWidget(box);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(level);
  layout->addWidget(questions);
  layout->addWidget(behaviour);
  layout->addWidget(buttons);
}

Preferences PreferencesDialog::chosen() const {
  Preferences chosen = current_;
  // Levels above 2 act as 2; one kept in the registry stays unless changed.
  if (warningLevel_->currentIndex() != std::min(current_.warningLevel, 2)) chosen.warningLevel = warningLevel_->currentIndex();
  chosen.warnOverwrite = warnOverwrite_->isChecked();
  chosen.warnNotSaved = warnNotSaved_->isChecked();
  chosen.warnBeforeRemove = warnBeforeRemove_->isChecked();
  chosen.mibFullExpand = fullExpand_->isChecked();
  chosen.setFileTypes = setFileTypes_->isChecked();
  chosen.saveSourcePaths = saveSourcePaths_->isChecked();
  return chosen;
}

}  // namespace modforge
