#include "prompts.h"

#include "dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>

#include <vector>

namespace modforge {
namespace {

QString folderOf(const QString& file) { return QFileInfo(file).absolutePath(); }

// Puts `widget` on a row of its own above everything else of the grid.
void addAboveAll(QGridLayout& grid, QWidget* widget) {
  struct Placed {
    QLayoutItem* item;
    int row, column, rows, columns;
  };
  std::vector<Placed> placed;
  while (grid.count() > 0) {
    Placed entry{};
    grid.getItemPosition(0, &entry.row, &entry.column, &entry.rows, &entry.columns);
    entry.item = grid.takeAt(0);
    placed.push_back(entry);
  }
  grid.addWidget(widget, 0, 0, 1, -1);
  for (const Placed& entry : placed) grid.addItem(entry.item, entry.row + 1, entry.column, entry.rows, entry.columns);
}

}  // namespace

std::optional<std::string> DialogPrompts::sourceToCompile(const std::string& suggested) {
  CompileDialog dialog(parent_, QString::fromStdString(suggested), QString::fromStdString(preferences_.loadPath));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  preferences_.loadPath = folderOf(dialog.sourceFile()).toStdString();
  return dialog.sourceFile().toStdString();
}

std::optional<std::string> DialogPrompts::fileToSave(const std::string& suggested) {
  QFileDialog dialog(parent_, QObject::tr("Save Compiled Module"), QString::fromStdString(suggested),
                     QObject::tr("SMIDB files (*.smidb);;All files (*)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("smidb"));
  // The window asks about an existing file itself, as its preferences say.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  QString chosen = dialog.selectedFiles().front();
  preferences_.savePath = folderOf(chosen).toStdString();
  return chosen.toStdString();
}

std::optional<std::string> DialogPrompts::textToFind(const std::string& previous) {
  bool accepted = false;
  QString text = QInputDialog::getText(parent_, QObject::tr("Find"), QObject::tr("Find node &named:"),
                                       QLineEdit::Normal, QString::fromStdString(previous), &accepted);
  if (!accepted || text.trimmed().isEmpty()) return std::nullopt;
  return text.trimmed().toStdString();
}

std::optional<Preferences> DialogPrompts::changedPreferences(const Preferences& current) {
  PreferencesDialog dialog(parent_, current);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.chosen();
}

// The toolkit's own file dialog, so that the request can be written in it.
std::optional<std::string> DialogPrompts::askForSource(const std::string& module) {
  QFileDialog dialog(parent_, QStringLiteral("Import"), QString::fromStdString(preferences_.loadPath),
                     QString::fromLatin1(kSourceFileFilter));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  auto* request = new QLabel(QStringLiteral("Please specify the name of the source file for the %1 module")
                                 .arg(QString::fromStdString(module)));
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) addAboveAll(*grid, request);
  dialog.resize(dialog.sizeHint().expandedTo(QSize(860, 480)));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  QString chosen = dialog.selectedFiles().front();
  preferences_.loadPath = folderOf(chosen).toStdString();
  return chosen.toStdString();
}

}  // namespace modforge
