#include "tests/faults/DriverProcess.h"

#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace faulttest {

DriverProcess::DriverProcess(const std::vector<std::string>& argv,
                             const std::vector<std::string>& environment)
{
    int pipeEnds[2];
    if (argv.empty() || pipe(pipeEnds) != 0) {
        throw std::runtime_error("cannot start a driver process");
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    m_pid = fork();
    if (m_pid == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        for (const std::string& setting : environment) {
            putenv(const_cast<char*>(setting.c_str()));
        }
        execv(args[0], args.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    if (m_pid < 0) {
        close(pipeEnds[0]);
        throw std::runtime_error("cannot fork a driver process");
    }
    m_out = fdopen(pipeEnds[0], "r");
}

DriverProcess::~DriverProcess()
{
    if (m_pid > 0) {
        kill();
    }
    if (m_out) {
        std::fclose(m_out);
    }
}

bool DriverProcess::readLine(std::string& line)
{
    line.clear();
    int c = 0;
    while ((c = std::fgetc(m_out)) != EOF && c != '\n') {
        line += static_cast<char>(c);
    }
    return c != EOF || !line.empty();
}

void DriverProcess::kill()
{
    if (m_pid <= 0) {
        return; // never kill(-1): that would signal every process we may signal
    }
    ::kill(m_pid, SIGKILL);
    wait();
}

int DriverProcess::wait()
{
    if (m_pid <= 0) {
        return -1;
    }
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> asUnprivilegedUser(const std::vector<std::string>& argv)
{
    if (geteuid() != 0) {
        return argv;
    }
    if (access("/usr/bin/setpriv", X_OK) != 0) {
        return {};
    }
    std::vector<std::string> wrapped{"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                                     "--clear-groups"};
    wrapped.insert(wrapped.end(), argv.begin(), argv.end());
    return wrapped;
}

std::string outputOf(const std::vector<std::string>& argv, int& status,
                     const std::vector<std::string>& environment)
{
    DriverProcess process(argv, environment);
    std::string all;
    std::string line;
    while (process.readLine(line)) {
        all += line + "\n";
    }
    status = process.wait();
    return all;
}

} // namespace faulttest
