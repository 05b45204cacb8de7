// The main window's query states: what the status bar says in each, how
// the light looks, which commands are open, and the line each adds to the
// results pane.
#pragma once

#include "status_light.h"

#include <QString>

namespace netlens {

enum TQueryState {
  qsInitializing,
  qsNotContacted,
  qsContacting,
  qsContacted,
  qsNotResponding,
  qsQuerying,
  qsFinished,
  qsAborted,
};

struct QueryStateLook {
  TSemaphoreState light;
  bool contact;
  bool query;
  bool abort;
};

QueryStateLook queryStateLook(TQueryState state);
// The status text; `agent` is the agent box's text.
QString queryStateText(TQueryState state, const QString& agent);
// The lines the state adds to the results pane (none for most).
QStringList queryStateLines(TQueryState state);

}  // namespace netlens
