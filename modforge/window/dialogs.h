// The compiler window's own dialogs.
#pragma once

#include "preferences.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace modforge {

// The source file dialogs' filter.
extern const char* const kSourceFileFilter;

// Opens the source file dialog in `folder`; the file chosen, or empty.
QString chooseSourceFile(QWidget* parent, const QString& title, const QString& folder);

// "Compile": the source file, typed or browsed for.
class CompileDialog final : public QDialog {
 public:
  CompileDialog(QWidget* parent, const QString& suggested, const QString& browseFolder);
  QString sourceFile() const;

 private:
  void accept() override;
  QLineEdit* file_;
  QString browseFolder_;
};

// "Preferences": the warning level and the questions the window asks.
class PreferencesDialog final : public QDialog {
 public:
  PreferencesDialog(QWidget* parent, const Preferences& current);
  Preferences chosen() const;

 private:
  Preferences current_;
  QComboBox* warningLevel_;
  QCheckBox* warnOverwrite_;
  QCheckBox* warnNotSaved_;
  QCheckBox* warnBeforeRemove_;
  QCheckBox* fullExpand_;
  QCheckBox* setFileTypes_;
  QCheckBox* saveSourcePaths_;
};

}  // namespace modforge
