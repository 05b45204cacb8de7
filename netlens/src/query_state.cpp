// The table of query states.
#include "query_state.h"

#include <QStringList>

namespace netlens {

QueryStateLook queryStateLook(TQueryState state) {
  switch (state) {
    case qsInitializing: return {SEM_ERROR, false, false, false};
    case qsNotContacted: return {SEM_IDLE, true, false, false};
    case qsContacting: return {SEM_WORKING, false, false, true};
    case qsContacted: return {SEM_GO, true, true, false};
    case qsNotResponding: return {SEM_ERROR, true, false, false};
    case qsQuerying: return {SEM_WORKING, false, false, true};
    case qsFinished: return {SEM_GO, true, true, false};
    case qsAborted: return {SEM_GO, true, true, false};
  }
  return {SEM_ERROR, false, false, false};
}

QString queryStateText(TQueryState state, const QString& agent) {
  switch (state) {
    case qsInitializing: return QStringLiteral("Initializing...");
    case qsNotContacted: return QStringLiteral("Remote SNMP agent not contacted.");
    case qsContacting: return QStringLiteral("Contacting ") + agent + QStringLiteral("...");
    case qsContacted: return QStringLiteral("Remote SNMP agent ") + agent + QStringLiteral(" contacted.");
    case qsNotResponding: return QStringLiteral("Remote SNMP agent ") + agent + QStringLiteral(" not responding!");
    case qsQuerying: return QStringLiteral("Query ") + agent + QStringLiteral("...");
    case qsFinished: return QStringLiteral("Query agent ") + agent + QStringLiteral(" finished.");
    case qsAborted: return QStringLiteral("Query agent ") + agent + QStringLiteral(" aborted.");
  }
  return QString();
}

QStringList queryStateLines(TQueryState state) {
  switch (state) {
    case qsQuerying: return {QString(), QStringLiteral("***** SNMP QUERY STARTED *****")};
    case qsFinished: return {QStringLiteral("***** SNMP QUERY FINISHED *****")};
    case qsAborted: return {QStringLiteral("***** SNMP QUERY ABORTED *****")};
    default: return {};
  }
}

}  // namespace netlens
