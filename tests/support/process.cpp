// Child processes and shell commands for the end-to-end tests.
#include "tests/support/process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

pid_t startProcess(const std::vector<std::string>& argv, const std::string& directory,
                   const std::vector<std::string>& environment)
{
    std::fflush(nullptr);
    // Each child leads a process group of its own, so that killing it also
    // kills what it started (the replay under a shell, say), which would
    // otherwise live on and keep the test runner's output pipe open.
    pid_t pid = fork();
    if (pid != 0) {
        if (pid > 0)
            setpgid(pid, pid);
        return pid;
    }
    setpgid(0, 0);
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
    int status = 0;
    for (int step = 0; step <= seconds * 100; step++, sleepSeconds(0.01))
        if (pid_t r = waitpid(pid, &status, WNOHANG); r == pid || (r < 0 && errno != EINTR)) {
            *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return r == pid;
        }
    return false;
}

void killProcess(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(-pid, SIGKILL);
    if (kill(pid, SIGKILL) == 0 || errno != ESRCH)
        waitpid(pid, nullptr, 0);
}

std::string commandOutput(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        pclose(pipe);
    }
    out.erase(out.find_last_not_of(" \r\n") + 1);
    return out;
}

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void sleepSeconds(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

std::filesystem::path scratchFolder(const std::string& name)
{
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vexarion-e2e-" + name + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}
