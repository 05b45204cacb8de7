// Handles of the service manager and of the services opened through it.
#pragma once

#include "platform/services.h"

#include <string>

namespace platform::detail {

struct ServiceHandle {
  bool manager = false;
  std::string name;  // services only
};

SC_HANDLE addServiceHandle(ServiceHandle handle);
// Null (last error ERROR_INVALID_HANDLE) for an unknown handle or one of
// the other kind.
const ServiceHandle* findServiceHandle(SC_HANDLE handle, bool manager);
bool removeServiceHandle(SC_HANDLE handle);

}  // namespace platform::detail
