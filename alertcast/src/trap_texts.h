// The trap sender's fixed texts: usage, banner and parameter block.
#pragma once

#include "trap_contents.h"
#include "trap_settings.h"

#include <string>

namespace alertcast {

std::string usageText();
// Program name in capitals and the file version, then the maker's notice.
std::string bannerText(const char* fileVersion);
// The manager as the greeting shows it: with its port when one was given.
std::string managerText(const Settings& settings);
// `contents` gives the time stamp that would be sent now and the values
// shown for the bindings.
std::string parameterBlock(const Settings& settings, const TrapContents& contents);

}  // namespace alertcast
