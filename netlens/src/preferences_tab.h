// The main window's "Preferences" tab: how the browser reaches agents,
// the history lists, and the switches of its windows.
#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace netlens {

class PreferencesTab : public QWidget {
  Q_OBJECT

 public:
  explicit PreferencesTab(QWidget* parent);

  QLineEdit* EditManagerIP;
  QComboBox* ComboBoxCommunity;
  QComboBox* ComboBoxSnmpPort;
  QLineEdit* EditTimeout;
  QLineEdit* EditRetransmits;
  QLineEdit* EditCapacity;
  // The agent in the Query tab's box speaks SNMPv2c (remembered per agent).
  QCheckBox* CheckBoxSnmpV2c;
  QCheckBox* CheckBoxWarnBeforeClear;
  QPushButton* ButtonClearAll;
  QCheckBox* CheckBoxClearOldResults;
  QCheckBox* CheckBoxAboutOnStartup;
  QCheckBox* CheckBoxExitConfirmation;
  QCheckBox* CheckBoxPollInfoForms;
  QCheckBox* CheckBoxFullExpand;
  QCheckBox* CheckBoxRightClickTip;
  QCheckBox* CheckBoxSmartResults;
  QCheckBox* CheckBoxTreeIcons;
  QCheckBox* CheckBoxPopupOnTrap;
  QCheckBox* CheckBoxBeepOnTrap;

 signals:
  // Enter was pressed in one of the boxes: every box applies.
  void applyRequested();
};

}  // namespace netlens
