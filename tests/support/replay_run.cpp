// Running vexarion-replay from a test; see replay_run.h.
#include "tests/support/replay_run.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "tests/support/process.h"

namespace {

std::vector<std::string> splitCsv(const std::string& line)
{
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, ','))
        fields.push_back(field);
    if (!line.empty() && line.back() == ',')
        fields.push_back("");
    return fields;
}

}  // namespace

Trace readTrace(const std::string& path)
{
    // The header, then the rows up to the first malformed one.
    Trace trace;
    std::istringstream lines(readText(path));
    std::string line;
    if (std::getline(lines, line))
        trace.columns = splitCsv(line);
    while (std::getline(lines, line) && splitCsv(line).size() == trace.columns.size())
        trace.rows.push_back(splitCsv(line));
    return trace;
}

std::string Trace::text(size_t row, const std::string& name) const
{
    const auto c = std::find(columns.begin(), columns.end(), name);
    return c == columns.end() || row >= rows.size() ? "" : rows[row][static_cast<size_t>(c - columns.begin())];
}

std::vector<double> Trace::numbers(size_t row, const std::vector<std::string>& names) const
{
    std::vector<double> values;
    for (const std::string& name : names)
        values.push_back(number(row, name));
    return values;
}

long Trace::firstRow(const std::string& name, double value, size_t from, bool equal) const
{
    for (size_t r = from; r < rows.size(); r++)
        if ((number(r, name) == value) == equal)
            return static_cast<long>(r);
    return -1;
}

ReplayResult runReplay(const std::string& script, const std::vector<std::string>& arguments,
                       const std::string& directory, double seconds, bool drawn)
{
    ReplayResult result;
    static int serial = 0;
    const std::string base = "/tmp/vexarion-replay-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
    const std::string scriptPath = base + ".script", tracePath = base + ".csv", errorPath = base + ".err";
    std::ofstream(scriptPath) << script;

    drawn = drawn || std::find(arguments.begin(), arguments.end(), "--shot") != arguments.end();
    const char* program = drawn ? "vexarion-replay" : "vexarion-replay-null";
    // The replay named outright, so that a damaged folder isn't passed over for the content beside it.
    // The shell becomes the replay (exec), so that the process waited for is the replay itself.
    std::string command = "cd '" + (directory.empty() ? std::string(VEXARION_RUN_DIR) : directory) +
                          "' && VEXARION_DATA=. ALSOFT_DRIVERS=null exec '" + std::string(VEXARION_RUN_DIR) + "/" +
                          program + "' --size 160x120 --script '" + scriptPath + "' --trace '" + tracePath + "'";
    for (const std::string& a : arguments)
        command += " '" + a + "'";
    command += " 2>'" + errorPath + "'";

    pid_t pid = startProcess({"/bin/sh", "-c", command}, "");
    std::string stacks;
    if (pid > 0 && !waitProcess(pid, seconds, &result.exitCode)) {
        // A replay that hangs says where: every thread's stack, before it is killed.
        stacks = commandOutput("gdb -p " + std::to_string(pid) + " -batch -ex 'thread apply all bt' 2>&1 </dev/null");
        killProcess(pid);
        result.exitCode = -2;
    }
    result.trace = readTrace(tracePath);
    result.errors = readText(errorPath);
    if (result.exitCode == -2)
        result.errors += "still running after " + std::to_string(seconds) + " s with " +
                         std::to_string(result.trace.rows.size()) + " rows of trace written; its threads:\n" + stacks +
                         "\n";
    for (const std::string& path : {scriptPath, tracePath, errorPath})
        std::remove(path.c_str());
    return result;
}
