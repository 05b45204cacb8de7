// The console side of the control pipe.
#pragma once

#include <string>
#include <vector>

namespace pollhost {

// Opens the service's pipe on this computer, sends each command and
// prints its answer, then a line break. Prints why when the pipe cannot
// be opened.
void talkToService(const std::vector<std::string>& commands);

}  // namespace pollhost
