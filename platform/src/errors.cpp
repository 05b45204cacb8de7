// The last error of each thread and the texts of the codes the platform
// reports.
#include "platform/errors.h"
#include "fast_tls.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

PLATFORM_FAST_TLS thread_local DWORD lastError = ERROR_SUCCESS;

struct ErrorText {
  DWORD code;
  const char* text;
};

constexpr ErrorText kTexts[] = {
    {ERROR_SUCCESS, "The operation completed successfully."},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
    {ERROR_ACCESS_DENIED, "Access is denied."},
    {ERROR_INVALID_HANDLE, "The handle is invalid."},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command."},
    {ERROR_BAD_NETPATH, "The network path was not found."},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
    {ERROR_BROKEN_PIPE, "The pipe has been ended."},
    {ERROR_SEM_TIMEOUT, "The semaphore timeout period has expired."},
    {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small."},
    {ERROR_INVALID_NAME, "The filename, directory name, or volume label syntax is incorrect."},
    {ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long."},
    {ERROR_BAD_PIPE, "The pipe state is invalid."},
    {ERROR_PIPE_BUSY, "All pipe instances are busy."},
    {ERROR_NO_DATA, "The pipe is being closed."},
    {ERROR_PIPE_NOT_CONNECTED, "No process is on the other end of the pipe."},
    {ERROR_MORE_DATA, "More data is available."},
    {ERROR_PIPE_CONNECTED, "There is a process on other end of the pipe."},
    {ERROR_PIPE_LISTENING, "Waiting for a process to open the other end of the pipe."},
    {ERROR_OPERATION_ABORTED, "The I/O operation has been aborted because of either a thread exit or an application request."},
    {ERROR_IO_INCOMPLETE, "Overlapped I/O event is not in a signaled state."},
    {ERROR_IO_PENDING, "Overlapped I/O operation is in progress."},
    {ERROR_INVALID_SERVICE_CONTROL, "The requested control is not valid for this service."},
    {ERROR_SERVICE_REQUEST_TIMEOUT, "The service did not respond to the start or control request in a timely fashion."},
    {ERROR_SERVICE_NO_THREAD, "A thread could not be created for the service."},
    {ERROR_SERVICE_ALREADY_RUNNING, "An instance of the service is already running."},
    {ERROR_SERVICE_DOES_NOT_EXIST, "The specified service does not exist as an installed service."},
    {ERROR_SERVICE_NOT_ACTIVE, "The service has not been started."},
    {ERROR_FAILED_SERVICE_CONTROLLER_CONNECT, "The service process could not connect to the service controller."},
    {ERROR_PROCESS_ABORTED, "The process terminated unexpectedly."},
    {ERROR_SERVICE_EXISTS, "The specified service already exists."},
    {ERROR_INVALID_SERVICE_NAME, "The format of the specified service name is invalid."},
};

struct ErrnoCode {
  int error;
  DWORD code;
};

constexpr ErrnoCode kErrnoCodes[] = {
    {ENOENT, ERROR_FILE_NOT_FOUND}, {ECONNREFUSED, ERROR_FILE_NOT_FOUND}, {EACCES, ERROR_ACCESS_DENIED},
    {EPERM, ERROR_ACCESS_DENIED},   {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},     {EPIPE, ERROR_NO_DATA},
    {ECONNRESET, ERROR_BROKEN_PIPE}, {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE}, {EAGAIN, ERROR_PIPE_BUSY},
    {EINVAL, ERROR_INVALID_PARAMETER},
};

}  // namespace

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD error) { lastError = error; }

DWORD FormatMessageA(DWORD flags, LPCVOID, DWORD messageId, DWORD, LPSTR buffer, DWORD size, va_list*) {
  if (!buffer || size == 0 || !(flags & FORMAT_MESSAGE_FROM_SYSTEM)) return 0;
  char unknown[96];
  const char* text = nullptr;
  for (const ErrorText& entry : kTexts) {
    if (entry.code == messageId) text = entry.text;
  }
  if (!text && messageId > platform::kErrnoErrorBase) {
    int error = static_cast<int>(messageId - platform::kErrnoErrorBase);
    std::snprintf(unknown, sizeof unknown, "%s.", std::strerror(error));
    text = unknown;
  }
  if (!text) {
    std::snprintf(unknown, sizeof unknown, "Error %u.", messageId);
    text = unknown;
  }
  size_t length = std::min<size_t>(std::strlen(text), size - 1);
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
  return static_cast<DWORD>(length);
}

namespace platform {

DWORD errorFromErrno(int error) {
  for (const ErrnoCode& entry : kErrnoCodes) {
    if (entry.error == error) return entry.code;
  }
  return kErrnoErrorBase + static_cast<DWORD>(error);
}

}  // namespace platform
