// What a running service leaves in the runtime folder: its pid file,
// locked while the process runs, and the status it last reported.
#pragma once

#include "platform/services.h"

#include <string>
#include <sys/types.h>

namespace platform::detail {

struct ServiceFiles {
  std::string pidPath;
  std::string statusPath;
};

// 0 and the paths, or the runtime folder's error code.
DWORD locateServiceFiles(const std::string& name, ServiceFiles& files);

struct ReportedStatus {
  pid_t pid = 0;
  SERVICE_STATUS status{};
};

bool readReportedStatus(const ServiceFiles& files, ReportedStatus& reported);
bool writeReportedStatus(const ServiceFiles& files, const ReportedStatus& reported);

// The process that holds the pid file's lock (runs the service), or 0.
pid_t serviceProcess(const ServiceFiles& files);
// The status a caller of the manager sees: stopped while no process runs
// the service, start pending until its process has reported.
SERVICE_STATUS currentServiceStatus(const ServiceFiles& files, pid_t& process);

// True once the process has ended (also while it waits to be reaped).
bool processEnded(pid_t process);

// Takes the pid file's lock for the calling process and writes its pid.
// The descriptor to keep open while the service runs, or -1 (errno set;
// EAGAIN when another process holds it).
int lockServiceProcess(const ServiceFiles& files);

}  // namespace platform::detail
