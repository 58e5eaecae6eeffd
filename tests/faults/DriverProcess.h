#pragma once

#include <cstdio>
#include <string>
#include <sys/types.h>
#include <vector>

namespace faulttest {

// fault_driver (or another program) running in the background, its standard output read
// through a pipe. Killed with SIGKILL when the object goes, if still running.
class DriverProcess
{
public:
    // Starts `argv[0]` with `argv`, and with `environment` added to the test's own.
    explicit DriverProcess(const std::vector<std::string>& argv,
                           const std::vector<std::string>& environment = {});
    ~DriverProcess();
    DriverProcess(const DriverProcess&) = delete;
    DriverProcess& operator=(const DriverProcess&) = delete;

    // The next line of its output without the line end; false at the end of the output.
    bool readLine(std::string& line);
    // Sends SIGKILL and waits for the process to end.
    void kill();
    // Waits for the process to end; its exit status, or -1 when a signal ended it.
    int wait();

private:
    pid_t m_pid = -1;
    std::FILE* m_out = nullptr;
};

// The command line that runs `argv` as the unprivileged user nobody (uid and gid 65534):
// through setpriv when the tests run as root, as it stands otherwise. Empty when the tests
// run as root and setpriv is missing.
std::vector<std::string> asUnprivilegedUser(const std::vector<std::string>& argv);

// All output of `argv` run to its end; `status` receives its exit status.
std::string outputOf(const std::vector<std::string>& argv, int& status,
                     const std::vector<std::string>& environment = {});

} // namespace faulttest
