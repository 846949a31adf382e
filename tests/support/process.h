// Starting the real program from a test, the way a person would, and
// watching it: child processes with a timeout, and shell commands' output.
#pragma once
#include <string>
#include <vector>

#include <sys/types.h>

// Starts `argv` in `directory` with extra environment settings ("NAME=value").
// Returns the child's process id, or -1.
pid_t startProcess(const std::vector<std::string>& argv, const std::string& directory,
                   const std::vector<std::string>& environment = {});

// Waits up to `seconds` for the child to end. True with its exit code (or
// 128 + signal) when it ended; false when it is still running.
bool waitProcess(pid_t pid, double seconds, int* exitCode);

// Kills a child that is still running and reaps it.
void killProcess(pid_t pid);

// Kills the child when it goes out of scope unless it was seen to end, so a
// failed check never leaves a program running.
struct ChildGuard {
    pid_t pid;
    bool ended = false;
    ~ChildGuard()
    {
        if (!ended)
            killProcess(pid);
    }
};

// Runs a shell command and returns what it printed on standard output,
// with trailing white space removed.
std::string commandOutput(const std::string& command);

// Sleeps for the given time.
void sleepSeconds(double seconds);
