// Composing the node-properties texts.
#include "node_properties.h"

#include "binding_text.h"
#include "mib_node.h"

#include "platform/registry.h"
#include "smidb_format.h"

#include <vector>

namespace netlens {
namespace {

const QString kNotAvailable = QStringLiteral("<not available>");

QString orNotAvailable(const std::optional<std::string>& text) {
  return text && !text->empty() ? QString::fromStdString(*text) : kNotAvailable;
}

QString orNotAvailable(const char* text) { return text ? QString::fromLatin1(text) : kNotAvailable; }

QString relativeName(HWSM_NODE relative) {
  return relative ? orNotAvailable(nodeString(relative, WSM_NODE_NAME)) : kNotAvailable;
}

// "iso(1).org(3).dod(6)": each prefix's node name with its sub-identifier.
QString fullPath(const smiOID& oid) {
  QStringList parts;
  for (smiUINT32 length = 1; length <= oid.len; ++length) {
    smiOID prefix{length, oid.ptr};
    std::string name = nodeName(WsmMapOidToNode(&prefix));
    parts << QString::fromStdString(name) + QStringLiteral("(") + QString::number(oid.ptr[length - 1]) +
                 QStringLiteral(")");
  }
  return parts.join(QLatin1Char('.'));
}

QString codeName(HWSM_NODE node, UINT selector, const char* (*name)(smiUINT32)) {
  auto code = nodeInt(node, selector);
  return code ? orNotAvailable(name(*code)) : kNotAvailable;
}

QString numericalSyntax(HWSM_NODE node) {
  auto syntax = nodeInt(node, WSM_NODE_SYNTAX);
  const char* name = syntax ? syntaxConstantName(*syntax) : nullptr;
  if (!name) return kNotAvailable;
  return QString::fromLatin1(name) + QStringLiteral(" - ") + QString::number(*syntax);
}

bool moduleInfo(const QString& identity, WSM_MODULE_INFO& info) {
  info = WSM_MODULE_INFO{};
  info.dwSize = WSM_MODULE_INFO_SIZE;
  return WsmGetModuleInfo(identity.toUtf8().constData(), &info);
}

}  // namespace

QString nodePropertiesCaption(HWSM_NODE node) {
  std::string name = nodeName(node);
  return name.empty() ? QStringLiteral("MIB Node Properties")
                      : QStringLiteral("MIB Node Properties - ") + QString::fromStdString(name);
}

QStringList nodePropertyLines(HWSM_NODE node) {
  std::string name = nodeName(node);
  if (name.empty()) return {QStringLiteral("<No MIB Node Selected>")};
  OwnedOid oid = nodeOid(node);
  return {
      QStringLiteral("OID Name: ") + QString::fromStdString(name),
      QStringLiteral("OID: ") + (oid.empty() ? kNotAvailable : QString::fromStdString(dottedOid(oid.get()))),
      QStringLiteral("OID full path: ") + (oid.empty() ? kNotAvailable : fullPath(oid.get())),
      QStringLiteral("Module: ") + orNotAvailable(nodeString(node, WSM_NODE_MODULE)),
      QStringLiteral("Parent: ") + relativeName(WsmFindNodeParent(node)),
      QStringLiteral("Child: ") + relativeName(WsmFindNodeChild(node)),
      QStringLiteral("Prev sibling: ") + relativeName(WsmFindNodePrevSibling(node)),
      QStringLiteral("Next sibling: ") + relativeName(WsmFindNodeNextSibling(node)),
      QStringLiteral("Type: ") + codeName(node, WSM_NODE_KIND, kindName),
      QStringLiteral("Status: ") + codeName(node, WSM_NODE_STATUS, statusName),
      QStringLiteral("Max Access: ") + codeName(node, WSM_NODE_ACCESS, accessName),
      QStringLiteral("Numerical syntax: ") + numericalSyntax(node),
      QStringLiteral("Base syntax name: ") + orNotAvailable(nodeString(node, WSM_NODE_BASE_SYNTAX_NAME)),
      QStringLiteral("Composed syntax name: ") + orNotAvailable(nodeString(node, WSM_NODE_SYNTAX_NAME)),
      QStringLiteral("Description: ") + orNotAvailable(nodeString(node, WSM_NODE_DESCRIPTION)),
  };
}

QString modulePropertiesCaption(const QString& identity) {
  return QStringLiteral("Module database properties for ") + identity;
}

QString moduleDatabasePath(const WSM_MODULE_INFO& info) {
  std::string keyPath = std::string(smidb::kMakerKey) + "\\" + info.szRegistryPath;
  HKEY key = nullptr;
  if (!info.szRegistryPath[0] ||
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return QString();
  }
  std::vector<char> path(4096, '\0');
  DWORD type = 0, bytes = static_cast<DWORD>(path.size() - 1);
  bool found = RegQueryValueExA(key, smidb::kDatabasePathValue, nullptr, &type,
                                reinterpret_cast<LPBYTE>(path.data()), &bytes) == ERROR_SUCCESS &&
               type == REG_SZ;
  RegCloseKey(key);
  return found ? QString::fromUtf8(path.data()) : QString();
}

QStringList modulePropertyLines(const QString& identity) {
  WSM_MODULE_INFO info;
  bool loaded = moduleInfo(identity, info);
  auto field = [&](const QString& text) { return loaded ? text : QString(); };
  return {
      QStringLiteral("Module identity: ") + identity,
      QStringLiteral("Module root OID: ") + field(QString::fromUtf8(info.szRootOid)),
      QStringLiteral("Version of the database: ") + field(QString::number(info.dwFormatVersion)),
      QStringLiteral("Number of nodes in database: ") + field(QString::number(info.dwNodeCount)),
      QStringLiteral("Database file name and path: ") + field(moduleDatabasePath(info)),
      QStringLiteral("Size of the database: ") +
          field(QString::number((quint64{info.dwFileSizeHigh} << 32) | info.dwFileSizeLow)) + QStringLiteral(" B"),
      QStringLiteral("Database last modified: <Not available in this version>"),
      loaded ? QStringLiteral("Database is loaded in memory") : QStringLiteral("Database is not loaded in memory"),
      QStringLiteral("Database memo: ") + field(QString::fromUtf8(info.szDescription)),
  };
}

}  // namespace netlens
