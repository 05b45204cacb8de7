// Converting typed text into the value of a SetRequest.
#include "set_value.h"

#include <QRegularExpression>

#include <limits>

namespace netlens {
namespace {

// A whole decimal number within [minimum, maximum], blanks around it allowed.
std::optional<long long> decimal(const QString& text, long long minimum, long long maximum) {
  QString trimmed = text.trimmed();
  static const QRegularExpression shape(QStringLiteral("^[+-]?[0-9]+$"));
  if (!shape.match(trimmed).hasMatch()) return std::nullopt;
  bool ok = false;
  long long number = trimmed.toLongLong(&ok);
  if (!ok || number < minimum || number > maximum) return std::nullopt;
  return number;
}

}  // namespace

std::optional<QByteArray> parseHexOctets(const QString& text) {
  QString trimmed = text.trimmed();
  static const QRegularExpression separator(QStringLiteral("[\\s:.\\-]+"));
  QStringList groups = trimmed.split(separator, Qt::SkipEmptyParts);
  if (groups.isEmpty()) return std::nullopt;
  static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]+$"));
  QByteArray octets;
  for (const QString& group : groups) {
    if (!hex.match(group).hasMatch()) return std::nullopt;
    // Between separators a group is one octet; a run without separators is
    // a string of two-digit octets.
    if (groups.size() > 1 && group.size() > 2) return std::nullopt;
    if (groups.size() == 1 && group.size() > 2 && group.size() % 2) return std::nullopt;
    int width = group.size() > 2 ? 2 : static_cast<int>(group.size());
    for (int at = 0; at < group.size(); at += width) {
      octets.append(static_cast<char>(group.mid(at, width).toUInt(nullptr, 16)));
    }
  }
  return octets;
}

bool SetValue::convert(smiUINT32 syntax, const QString& text) {
  value_ = smiVALUE{};
  octets_.clear();
  subidentifiers_.clear();
  bool converted = false;
  switch (syntax) {
    case SNMP_SYNTAX_INT:
    case SNMP_SYNTAX_UINT32:
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_CNTR64: converted = setNumber(syntax, text); break;
    case SNMP_SYNTAX_OCTETS: converted = setOctets(text.toUtf8()); break;
    case SNMP_SYNTAX_BITS:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR: {
      auto octets = parseHexOctets(text);
      converted = octets && setOctets(*octets);
      break;
    }
    case SNMP_SYNTAX_IPADDR: converted = setAddress(text); break;
    case SNMP_SYNTAX_OID: converted = setOid(text); break;
    case SNMP_SYNTAX_NULL:
    case SNMP_SYNTAX_NOSUCHOBJECT:
    case SNMP_SYNTAX_NOSUCHINSTANCE:
    case SNMP_SYNTAX_ENDOFMIBVIEW: converted = true; break;
    default: converted = false; break;
  }
  if (!converted) {
    value_ = smiVALUE{};
    octets_.clear();
    subidentifiers_.clear();
    return false;
  }
  value_.syntax = syntax;
  return true;
}

bool SetValue::setNumber(smiUINT32 syntax, const QString& text) {
  if (syntax == SNMP_SYNTAX_CNTR64) {
    QString trimmed = text.trimmed();
    static const QRegularExpression shape(QStringLiteral("^\\+?[0-9]+$"));
    bool ok = false;
    unsigned long long number = trimmed.toULongLong(&ok);
    if (!shape.match(trimmed).hasMatch() || !ok) return false;
    value_.value.hNumber.hipart = static_cast<smiUINT32>(number >> 32);
    value_.value.hNumber.lopart = static_cast<smiUINT32>(number);
    return true;
  }
  if (syntax == SNMP_SYNTAX_INT) {
    auto number = decimal(text, std::numeric_limits<smiINT32>::min(), std::numeric_limits<smiINT32>::max());
    if (number) value_.value.sNumber = static_cast<smiINT32>(*number);
    return number.has_value();
  }
  auto number = decimal(text, 0, std::numeric_limits<smiUINT32>::max());
  if (number) value_.value.uNumber = static_cast<smiUINT32>(*number);
  return number.has_value();
}

bool SetValue::setOctets(const QByteArray& octets) {
  octets_.assign(octets.begin(), octets.end());
  value_.value.string.len = static_cast<smiUINT32>(octets_.size());
  value_.value.string.ptr = octets_.empty() ? nullptr : octets_.data();
  return true;
}

bool SetValue::setAddress(const QString& text) {
  QStringList parts = text.trimmed().split(QLatin1Char('.'));
  if (parts.size() != 4) return false;
  QByteArray octets;
  for (const QString& part : parts) {
    static const QRegularExpression shape(QStringLiteral("^[0-9]{1,3}$"));
    if (!shape.match(part).hasMatch() || part.toInt() > 255) return false;
    octets.append(static_cast<char>(part.toInt()));
  }
  return setOctets(octets);
}

bool SetValue::setOid(const QString& text) {
  smiOID converted{};
  QByteArray latin = text.trimmed().toLatin1();
  if (!SnmpStrToOid(latin.constData(), &converted)) return false;
  subidentifiers_.assign(converted.ptr, converted.ptr + converted.len);
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&converted));
  value_.value.oid.len = static_cast<smiUINT32>(subidentifiers_.size());
  value_.value.oid.ptr = subidentifiers_.empty() ? nullptr : subidentifiers_.data();
  return true;
}

}  // namespace netlens
