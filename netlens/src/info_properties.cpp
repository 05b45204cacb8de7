// The info windows' agent dialog.
#include "info_properties.h"

#include "browser_host.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace netlens {
namespace {

QComboBox* sharedBox(QWidget* parent, const char* name, SharedHistory which, BrowserHost& host) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setMinimumContentsLength(18);
  shareHistory(*box, which, host);
  return box;
}

}  // namespace

TFormInfoProperties::TFormInfoProperties(BrowserHost& host, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormInfoProperties"));
  setWindowTitle(QStringLiteral("Agent Properties"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  ComboBoxAgent = sharedBox(this, "ComboBoxAgent", SharedHistory::agents, host);
  ComboBoxCommunity = sharedBox(this, "ComboBoxCommunity", SharedHistory::communities, host);
  ComboBoxPort = sharedBox(this, "ComboBoxPort", SharedHistory::ports, host);
  form->addRow(QStringLiteral("Agent"), ComboBoxAgent);
  form->addRow(QStringLiteral("Community"), ComboBoxCommunity);
  form->addRow(QStringLiteral("SNMP Port"), ComboBoxPort);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void TFormInfoProperties::setValues(const QString& agent, const QString& community, const QString& port) {
  ComboBoxAgent->setEditText(agent);
  ComboBoxCommunity->setEditText(community);
  ComboBoxPort->setEditText(port);
}

QString TFormInfoProperties::agent() const { return ComboBoxAgent->currentText(); }
QString TFormInfoProperties::community() const { return ComboBoxCommunity->currentText(); }
QString TFormInfoProperties::port() const { return ComboBoxPort->currentText(); }

}  // namespace netlens
