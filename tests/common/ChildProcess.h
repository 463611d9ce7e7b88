// Another program run by a test or a benchmark (fork and exec), with bounded waits, its exit
// status and the CPU time it used. Not a shell: no quoting, no pipes between programs.
#pragma once

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace vireo::test {

class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess(); // kills and reaps a program still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // argv[0] is the program's path; `env` entries ("NAME=value") are added to this
    // process's environment. Standard output and error go to `logPath` when it is not empty;
    // `keepFd` stays open in the child (every other descriptor above 2 is closed).
    bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
               const std::string& logPath = {}, int keepFd = -1);
    // The exit status; -1 while it is still running after `timeout`, -2 when a signal ended it.
    int Wait(std::chrono::milliseconds timeout);
    void Kill();
    // User plus system CPU time of the program, in seconds, once Wait has seen it end.
    double CpuSeconds() const { return m_cpuSeconds; }

  private:
    int m_pid = -1;
    int m_status = -1;
    double m_cpuSeconds = 0;
};

// Polls `done` every 20 ms; false when it still fails after `timeout`.
template <typename Done> bool WaitFor(Done done, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// Searches PATH as a shell does; empty when the program is not there.
std::string FindProgram(const std::string& name);

// Starts Xvfb from PATH with one 1024 x 768 x 24 screen on a display number it picks itself;
// `display` gets ":N" once it accepts clients. False with `why` set when it cannot.
bool StartXvfb(ChildProcess& server, std::string& display, std::string& why);

} // namespace vireo::test
