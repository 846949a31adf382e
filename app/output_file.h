// The files the program is asked to write: the trace, the recording, the
// player's screenshots and the replay's shots.
//
// A file that can't be written (a full disk, a removed drive, no permission)
// never ends the session. Its first failure tells the user once, naming the
// file and the system's reason, and nothing more is written to it; what was
// written before stays as it was, cut back to the end of the last whole piece
// (a trace's row, a recording's frame), so a recording still replays every
// frame it kept. The exit code then asks outputFailed().
#pragma once
#include <cstdio>
#include <string>

// One file written a whole piece at a time.
struct OutputFile {
    std::FILE* file = nullptr;
    std::string path;
    std::string what;     // "the trace", "the recording": how the user is told of it
    long long whole = 0;  // bytes in the file up to the end of the last whole piece
    bool failed = false;  // told once; nothing more is written
};

// Whose words the messages are ("Vexarion", "vexarion-replay") and how many
// files failed this run.
struct OutputFaults {
    std::string speaker = "Vexarion";
    int failures = 0;
};
extern OutputFaults outputFaults;

// Creates the file, empty. False, the user told, when it can't be created.
bool outputOpen(OutputFile* out, const std::string& path, const std::string& what);

// Appends `piece` and flushes it to the system. On the first failure the
// user is told, the file is cut back to its last whole piece and closed,
// and later writes do nothing. False once the file has failed.
bool outputWrite(OutputFile* out, const std::string& piece);

// Closes the file. False when any of it failed (the user was told then).
bool outputClose(OutputFile* out);

// Tells the user that `what` `path` could not be written and why (`error`,
// an errno value, 0 when unknown), and counts it for the exit code.
void outputTellFailure(const std::string& what, const std::string& path, int error);

// Whether any file the program was asked to write failed this run.
bool outputFailed();
