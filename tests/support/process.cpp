// Child processes and shell commands for the end-to-end tests.
#include "tests/support/process.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <sys/wait.h>
#include <unistd.h>

pid_t startProcess(const std::vector<std::string>& argv, const std::string& directory,
                   const std::vector<std::string>& environment)
{
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid != 0)
        return pid;
    if (!directory.empty() && chdir(directory.c_str()) != 0)
        _exit(126);
    for (const std::string& setting : environment)
        putenv(const_cast<char*>(setting.c_str()));
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
}

bool waitProcess(pid_t pid, double seconds, int* exitCode)
{
    const int steps = static_cast<int>(seconds * 100.0);
    for (int i = 0; i <= steps; i++) {
        int status = 0;
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) {
            *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return true;
        }
        if (r < 0 && errno != EINTR)
            return false;
        sleepSeconds(0.01);
    }
    return false;
}

void killProcess(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGKILL);
    int status;
    waitpid(pid, &status, 0);
}

std::string commandOutput(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    pclose(pipe);
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ' || out.back() == '\r'))
        out.pop_back();
    return out;
}

void sleepSeconds(double seconds)
{
    struct timespec ts;
    ts.tv_sec = static_cast<time_t>(seconds);
    ts.tv_nsec = static_cast<long>((seconds - static_cast<double>(ts.tv_sec)) * 1e9);
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}
