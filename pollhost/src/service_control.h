// The console commands that go through the service manager.
#pragma once

namespace pollhost {

// "i": installs the service (this program) if needed and starts it.
void installService();
// "u": stops the service if it runs, and uninstalls it.
void uninstallService();
// No recognised command: runs as the service when it is installed and
// stopped (or when a service manager started this process), else prints
// the usage text.
void runAsServiceOrShowUsage();

}  // namespace pollhost
