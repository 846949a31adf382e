// Running vexarion-replay from a test and reading its trace.
#pragma once
#include <cstdlib>
#include <string>
#include <vector>

// A replay's trace: the CSV header and one row per completed frame.
struct Trace {
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;

    std::string text(size_t row, const std::string& name) const;  // "" when there is no such row or column
    double number(size_t row, const std::string& name) const { return std::strtod(text(row, name).c_str(), nullptr); }
    std::vector<double> numbers(size_t row, const std::vector<std::string>& names) const;
    double change(size_t row, const std::string& name) const { return number(row, name) - number(row - 1, name); }
    bool hasEvent(size_t row, const std::string& event) const  // e.g. "play thunder"
    {
        return (";" + text(row, "events") + ";").find(";" + event + ";") != std::string::npos;
    }
    // The first row from `from` on whose column equals `value` (differs, if not `equal`); -1 if none.
    long firstRow(const std::string& name, double value, size_t from = 0, bool equal = true) const;
};

struct ReplayResult {
    int exitCode = -1;
    Trace trace;
    std::string errors;  // what it printed on standard error
};

// Runs the replay in `directory` (the run folder by default) with `script`
// as its script and the extra options `arguments`, waiting up to `seconds`.
// A run that needs no picture goes to the null backend's replay (no X
// server, no OpenGL); one with a --shot, or `drawn`, to the drawing one.
ReplayResult runReplay(const std::string& script, const std::vector<std::string>& arguments,
                       const std::string& directory = "", double seconds = 300, bool drawn = false);
