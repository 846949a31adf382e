// Running vexarion-replay from a test; see replay_run.h.
#include "tests/support/replay_run.h"

#include <cstdio>
#include <cstdlib>
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

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

int Trace::column(const std::string& name) const
{
    for (size_t i = 0; i < columns.size(); i++)
        if (columns[i] == name)
            return static_cast<int>(i);
    return -1;
}

double Trace::number(size_t row, const std::string& name) const
{
    return std::strtod(text(row, name).c_str(), nullptr);
}

std::string Trace::text(size_t row, const std::string& name) const
{
    int c = column(name);
    if (c < 0 || row >= rows.size() || static_cast<size_t>(c) >= rows[row].size())
        return "";
    return rows[row][static_cast<size_t>(c)];
}

bool Trace::hasEvent(size_t row, const std::string& event) const
{
    std::istringstream events(text(row, "events"));
    std::string e;
    while (std::getline(events, e, ';'))
        if (e == event)
            return true;
    return false;
}

long Trace::firstRow(const std::string& name, double value, size_t from) const
{
    for (size_t r = from; r < rows.size(); r++)
        if (number(r, name) == value)
            return static_cast<long>(r);
    return -1;
}

bool parseTrace(const std::string& text, Trace* trace)
{
    trace->columns.clear();
    trace->rows.clear();
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line))
        return false;
    trace->columns = splitCsv(line);
    while (std::getline(lines, line)) {
        std::vector<std::string> fields = splitCsv(line);
        if (fields.size() != trace->columns.size())
            return false;
        trace->rows.push_back(fields);
    }
    return true;
}

ReplayResult runReplay(const std::string& script, const std::vector<std::string>& arguments,
                       const std::string& directory, double seconds)
{
    ReplayResult result;
    static int serial = 0;
    const std::string base = "/tmp/vexarion-replay-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
    const std::string scriptPath = base + ".script", tracePath = base + ".csv", errorPath = base + ".err";
    std::ofstream(scriptPath) << script;

    const std::string runDir = directory.empty() ? std::string(VEXARION_RUN_DIR) : directory;
    // Named outright, so that a damaged folder is not passed over for the
    // content beside the replay executable.
    std::string command = "cd '" + runDir + "' && VEXARION_DATA=. ALSOFT_DRIVERS=null '" +
                          std::string(VEXARION_RUN_DIR) + "/vexarion-replay' --size 160x120 --script '" + scriptPath +
                          "' --trace '" + tracePath + "'";
    for (const std::string& a : arguments)
        command += " '" + a + "'";
    command += " 2>'" + errorPath + "'";

    pid_t pid = startProcess({"/bin/sh", "-c", command}, "");
    if (pid > 0 && !waitProcess(pid, seconds, &result.exitCode)) {
        killProcess(pid);
        result.exitCode = -2;
    }
    parseTrace(readFile(tracePath), &result.trace);
    result.errors = readFile(errorPath);
    std::remove(scriptPath.c_str());
    std::remove(tracePath.c_str());
    std::remove(errorPath.c_str());
    return result;
}
