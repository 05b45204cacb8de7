#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/runtime_folder.h"
#include "platform/services.h"
#include "platform/tick.h"
#include "platform/waits.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr char kName[] = "Test Service";
constexpr uint64_t kPatience = 20000;

pid_t recordedPid() {
  std::ifstream file(platform::runtimeFolder() + "/service-" + kName + ".pid");
  long pid = 0;
  file >> pid;
  return static_cast<pid_t>(pid);
}

// Ended, or ended and waiting for whoever adopted it to reap it.
bool processGone(pid_t pid) {
  if (kill(pid, 0) != 0) return true;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  std::getline(stat, text);
  size_t close = text.rfind(')');
  return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z';
}

// Each test installs the test service afresh and leaves nothing running:
// its services end with the test program, and whatever still runs at the
// end is stopped, or killed.
class Services : public testing::Test {
 protected:
  void SetUp() override {
    setenv("ORVANE_SERVICE_OWNER_PID", std::to_string(getpid()).c_str(), 1);
    unsetenv("TEST_SERVICE_MODE");
    manager = OpenSCManager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager, nullptr);
  }
  void TearDown() override {
    if (service) {
      SERVICE_STATUS status{};
      QueryServiceStatus(service, &status);
      if (status.dwCurrentState != SERVICE_STOPPED && !ControlService(service, SERVICE_CONTROL_STOP, &status)) {
        if (pid_t pid = recordedPid()) kill(pid, SIGKILL);
      }
      DeleteService(service);
      CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
  }
  void install(const char* program = ORVANE_TEST_SERVICE_PATH) {
    service = CreateService(manager, kName, kName, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                            SERVICE_ERROR_NORMAL, program, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(service, nullptr) << GetLastError();
  }
  DWORD state() {
    SERVICE_STATUS status{};
    EXPECT_TRUE(QueryServiceStatus(service, &status));
    return status.dwCurrentState;
  }

  SC_HANDLE manager = nullptr;
  SC_HANDLE service = nullptr;
};

TEST_F(Services, RecordIsKeptInTheRegistryUntilDeleted) {
  install();
  EXPECT_EQ(CreateService(manager, kName, kName, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                          SERVICE_ERROR_NORMAL, "/bin/true", nullptr, nullptr, nullptr, nullptr, nullptr),
            nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SERVICE_EXISTS));
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\Test Service", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  char path[512] = {};
  DWORD size = sizeof path;
  EXPECT_EQ(RegQueryValueEx(key, "ImagePath", nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size), ERROR_SUCCESS);
  EXPECT_STREQ(path, ORVANE_TEST_SERVICE_PATH);
  RegCloseKey(key);
  EXPECT_EQ(state(), SERVICE_STOPPED);

  SC_HANDLE opened = OpenService(manager, kName, SERVICE_ALL_ACCESS);
  ASSERT_NE(opened, nullptr);
  EXPECT_TRUE(DeleteService(opened));
  CloseServiceHandle(opened);
  EXPECT_EQ(OpenService(manager, kName, SERVICE_ALL_ACCESS), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
  EXPECT_EQ(OpenService(manager, "a/b", SERVICE_ALL_ACCESS), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
  EXPECT_EQ(OpenSCManager("elsewhere", nullptr, SC_MANAGER_ALL_ACCESS), nullptr);
}

TEST_F(Services, StartedServiceRunsUntilStoppedAndItsProcessEnds) {
  install();
  ASSERT_TRUE(StartService(service, 0, nullptr)) << GetLastError();
  SERVICE_STATUS status{};
  ASSERT_TRUE(QueryServiceStatus(service, &status));
  EXPECT_EQ(status.dwCurrentState, SERVICE_RUNNING);
  EXPECT_EQ(status.dwControlsAccepted, SERVICE_ACCEPT_STOP);
  pid_t pid = recordedPid();
  ASSERT_GT(pid, 0);
  EXPECT_FALSE(StartService(service, 0, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SERVICE_ALREADY_RUNNING));

  ASSERT_TRUE(ControlService(service, SERVICE_CONTROL_STOP, &status)) << GetLastError();
  EXPECT_EQ(status.dwCurrentState, SERVICE_STOPPED);
  EXPECT_EQ(state(), SERVICE_STOPPED);
  EXPECT_TRUE(processGone(pid));
  EXPECT_FALSE(ControlService(service, SERVICE_CONTROL_STOP, &status));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SERVICE_NOT_ACTIVE));
}

TEST_F(Services, InterrogationReachesTheControlHandler) {
  install();
  ASSERT_TRUE(StartService(service, 0, nullptr));
  SERVICE_STATUS status{};
  ASSERT_TRUE(ControlService(service, SERVICE_CONTROL_INTERROGATE, &status));
  uint64_t deadline = GetTickCount64() + kPatience;
  while (QueryServiceStatus(service, &status) && status.dwServiceSpecificExitCode == 0 && GetTickCount64() < deadline) {
    Sleep(10);
  }
  EXPECT_EQ(status.dwServiceSpecificExitCode, 1u);
  EXPECT_EQ(status.dwCurrentState, SERVICE_RUNNING);
}

TEST_F(Services, ServiceThatStopsDuringItsStartFailsTheStartWithItsError) {
  install();
  setenv("TEST_SERVICE_MODE", "fail", 1);
  EXPECT_FALSE(StartService(service, 0, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(state(), SERVICE_STOPPED);
}

TEST_F(Services, MissingProgramFailsTheStart) {
  install("/nonexistent/program");
  EXPECT_FALSE(StartService(service, 0, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Services, ProgramRunByHandIsNoService) {
  unsetenv("ORVANE_SERVICE_START");
  SERVICE_TABLE_ENTRY table[] = {{const_cast<char*>(kName), [](DWORD, LPSTR*) {}}, {nullptr, nullptr}};
  EXPECT_FALSE(StartServiceCtrlDispatcher(table));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FAILED_SERVICE_CONTROLLER_CONNECT));
}

TEST_F(Services, DaemonKeepsNothingTheStarterHadOpen) {
  install();
  int output[2];
  ASSERT_EQ(pipe(output), 0);  // inheritable, as a starter's captured output is
  ASSERT_TRUE(StartService(service, 0, nullptr));
  close(output[1]);
  pollfd end{output[0], POLLIN, 0};
  ASSERT_EQ(poll(&end, 1, static_cast<int>(kPatience)), 1);
  char byte;
  EXPECT_EQ(read(output[0], &byte, 1), 0);
  close(output[0]);
}

TEST_F(Services, ServiceStopsWhenItsOwnerEnds) {
  install();
  pid_t owner = fork();
  if (owner == 0) {
    pause();
    _exit(0);
  }
  setenv("ORVANE_SERVICE_OWNER_PID", std::to_string(owner).c_str(), 1);
  ASSERT_TRUE(StartService(service, 0, nullptr));
  EXPECT_EQ(state(), SERVICE_RUNNING);
  kill(owner, SIGKILL);
  waitpid(owner, nullptr, 0);
  uint64_t deadline = GetTickCount64() + kPatience;
  while (state() != SERVICE_STOPPED && GetTickCount64() < deadline) Sleep(10);
  EXPECT_EQ(state(), SERVICE_STOPPED);
}

}  // namespace
