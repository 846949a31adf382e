// Running vexarion-replay from a test and reading its trace.
#pragma once
#include <string>
#include <vector>

// A replay's trace: the CSV header and one row per completed frame.
struct Trace {
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;

    int column(const std::string& name) const;  // -1 when there is no such column
    double number(size_t row, const std::string& name) const;
    std::string text(size_t row, const std::string& name) const;
    bool hasEvent(size_t row, const std::string& event) const;  // e.g. "play thunder"
    // The first row at or after `from` whose column equals `value`; -1 if none.
    long firstRow(const std::string& name, double value, size_t from = 0) const;
};

struct ReplayResult {
    int exitCode = -1;
    Trace trace;
    std::string errors;  // what it printed on standard error
};

// Runs the replay in `directory` (the run folder by default) with `script`
// as its script and the extra options `arguments`, waiting up to `seconds`.
ReplayResult runReplay(const std::string& script, const std::vector<std::string>& arguments,
                       const std::string& directory = "", double seconds = 300);

// Parses trace text; false on a malformed file.
bool parseTrace(const std::string& text, Trace* trace);
