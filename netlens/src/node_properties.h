// The texts of the node-properties window: a MIB node's attributes, or a
// loaded module database's facts.
#pragma once

#include "wsm.h"

#include <QStringList>

namespace netlens {

// "OID Name: ...", "OID: ...", the path, the relatives, the codes and the
// description; "<No MIB Node Selected>" alone for no node.
QStringList nodePropertyLines(HWSM_NODE node);
QString nodePropertiesCaption(HWSM_NODE node);

// "Module identity: ..." to "Database memo: ..." of a module; the facts
// only modbase knows stay empty while the module is not loaded.
QStringList modulePropertyLines(const QString& identity);
QString modulePropertiesCaption(const QString& identity);

// The SMIDB file of a registered module, from the module registry; empty
// when it is not known.
QString moduleDatabasePath(const WSM_MODULE_INFO& info);

}  // namespace netlens
