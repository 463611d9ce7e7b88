// fork, exec and a polled wait4 (for the status and the CPU time) behind ChildProcess.h.
#include "common/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vireo::test {

ChildProcess::~ChildProcess()
{
    Kill();
}

bool ChildProcess::Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                         const std::string& logPath, int keepFd)
{
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    m_pid = fork();
    if (m_pid < 0)
        return false;
    if (m_pid == 0) {
        for (const std::string& entry : env)
            putenv(const_cast<char*>(entry.c_str()));
        if (!logPath.empty()) {
            const int fd = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd >= 0) {
                dup2(fd, 1);
                dup2(fd, 2);
                close(fd);
            }
        }
        const int devNull = open("/dev/null", O_RDONLY);
        if (devNull >= 0)
            dup2(devNull, 0);
        for (int fd = 3; fd < 1024; ++fd)
            if (fd != keepFd)
                close(fd);
        execv(args[0], args.data());
        _exit(127);
    }
    return true;
}

int ChildProcess::Wait(std::chrono::milliseconds timeout)
{
    const auto ended = [this] {
        if (m_pid <= 0)
            return true;
        int status = 0;
        rusage usage{};
        const pid_t done = wait4(m_pid, &status, WNOHANG, &usage);
        if (done == m_pid) {
            m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -2;
            m_cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        } else if (done < 0 && errno != EINTR) {
            m_status = -2;
        } else {
            return false;
        }
        m_pid = -1;
        return true;
    };
    return WaitFor(ended, timeout) ? m_status : -1;
}

void ChildProcess::Kill()
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    if (Wait(std::chrono::milliseconds(2000)) == -1) {
        kill(m_pid, SIGKILL);
        Wait(std::chrono::milliseconds(2000));
    }
}

std::string FindProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const std::string candidate = dir + "/" + name;
        std::error_code unreadable; // a PATH folder we may not enter is skipped
        if (!dir.empty() && std::filesystem::is_regular_file(candidate, unreadable) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

bool StartXvfb(ChildProcess& server, std::string& display, std::string& why)
{
    const std::string xvfb = FindProgram("Xvfb");
    int fds[2];
    if (xvfb.empty() || pipe(fds) != 0) {
        why = "Xvfb is not installed (Debian package xvfb, listed in scripts/packages.txt)";
        return false;
    }
    // Xvfb writes the display number it chose to this pipe once it accepts clients.
    const bool started = server.Start(
        {xvfb, "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"}, {},
        {}, fds[1]);
    close(fds[1]);
    std::string number;
    pollfd waitFor{fds[0], POLLIN, 0};
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (started && std::chrono::steady_clock::now() < end && number.find('\n') == std::string::npos) {
        char buffer[16];
        const ssize_t n = poll(&waitFor, 1, 100) > 0 ? read(fds[0], buffer, sizeof buffer) : 0;
        if (n < 0 || (n == 0 && (waitFor.revents & POLLHUP)))
            break;
        number.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) {
        why = "Xvfb did not report a display within 10 s";
        return false;
    }
    char name[32]; // snprintf rather than string +: g++ 12 warns falsely about the latter here
    std::snprintf(name, sizeof name, ":%d", std::atoi(number.c_str()));
    display = name;
    return true;
}

} // namespace vireo::test
