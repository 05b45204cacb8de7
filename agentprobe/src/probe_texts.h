// The probe's fixed texts: usage, banner and parameter block.
#pragma once

#include "probe_settings.h"

#include <string>

namespace agentprobe {

std::string usageText();
// Program name in capitals and the file version, then the maker's notice.
std::string bannerText(const char* fileVersion);
// `startName`/`endName` are the name forms of the -s and -e OIDs.
std::string parameterBlock(const Settings& settings, const std::string& startName, const std::string& endName);

}  // namespace agentprobe
