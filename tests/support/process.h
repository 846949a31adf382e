// Starting the real program from a test and watching it: child processes
// with a timeout, and shell commands' output.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include <sys/types.h>

// Starts `argv` in `directory` with extra environment settings ("NAME=value").
pid_t startProcess(const std::vector<std::string>& argv, const std::string& directory,
                   const std::vector<std::string>& environment = {});
// True with the exit code (or 128 + signal) once the child ended within `seconds`.
bool waitProcess(pid_t pid, double seconds, int* exitCode);
void killProcess(pid_t pid);  // with everything it started, and reaps it

// Kills the child unless it was seen to end, so a failed check leaves no program running.
struct ChildGuard {
    pid_t pid;
    bool ended = false;
    ~ChildGuard()
    {
        if (!ended)
            killProcess(pid);
    }
};

// What a shell command printed on standard output, trailing white space removed.
std::string commandOutput(const std::string& command);
std::string readText(const std::string& path);  // a file's bytes, "" when it can't be read
void sleepSeconds(double seconds);

// A fresh, empty folder of the test's own under the temporary folder, named
// for `name` and this process, apart from other runs on the machine.
std::filesystem::path scratchFolder(const std::string& name);
