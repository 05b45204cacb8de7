// The probe's variable lines ("<oid> **** (label) <value>", as printed with
// -o -t) read back into names and values.
#pragma once

#include "mib_view.h"

#include <string>
#include <vector>

std::vector<simagent::VarBind> readProbeLines(const std::string& output);
