// Replay scripts: scripted keys and typed characters, frame by frame.
//
// One event a line, "FRAME type C" (a typed character, "esc" for Esc, or a
// decimal character code of two or more digits, "32" for a space),
// "FRAME press K" or "FRAME release K" with K one of E, W, F, SHIFT, and
// "FRAME time SECONDS", the frame's time (a recorded session has one for
// every frame), and "FRAME option reduced-flash", the reduced flash from
// that frame on (a session that had it records it at frame 0). A '#' starts
// a comment; blank lines are ignored. Events of one frame keep the order of
// their lines.
//
// A recording is written line by line as the session goes, each frame's
// time line last. So in a recording (a script that starts with the recording
// header or has time lines) a last line without its newline is what a killed
// session left half written, and is ignored; the
// events after the last time line belong to a frame that never completed.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/input.h"

enum ScriptEventKind { SCRIPT_TYPE, SCRIPT_PRESS, SCRIPT_RELEASE, SCRIPT_TIME, SCRIPT_OPTION };

// The one option a script can set.
const char* const scriptOptionReducedFlash = "reduced-flash";

struct ScriptEvent {
    long frame;
    ScriptEventKind kind;
    int code;       // the character code for SCRIPT_TYPE, a Key for press and release (0 for the option)
    float seconds;  // the frame time for SCRIPT_TIME
};

// The first words of a recording's first line, a comment.
inline const std::string recordingHeader = "# Vexarion recording";

// How a script writes a typed character: itself when it is printable and
// not a space or '#', "esc" for Esc, its decimal code otherwise ("09").
std::string scriptCharWord(int code);

// How a script writes a key: "E", "W", "F" or "SHIFT".
const char* scriptKeyWord(Key key);

// Parses a whole script. On a malformed line returns false with `error`
// naming the line ("line 3: ...") and leaves `events` unspecified.
// `recording`, when given, tells whether the script is a recording.
bool parseScript(const std::string& text, std::vector<ScriptEvent>* events, std::string* error,
                 bool* recording = nullptr);

// Reads and parses a script file; a file that cannot be read is an error too.
bool loadScript(const char* path, std::vector<ScriptEvent>* events, std::string* error, bool* recording = nullptr);

// A script played frame by frame: before each frame its typed characters
// and key changes go into the scripted input, and a recorded frame time
// replaces the fixed one.
struct ScriptPlayer {
    std::vector<ScriptEvent> events;   // sorted by frame
    std::map<long, float> frameTimes;  // the frames a recording holds, each with its time
    bool recording = false;
    size_t next = 0;            // the first event not yet fed
    bool reducedFlash = false;  // an "option reduced-flash" line was fed
};

// Loads the script at `path` into `player`; false with `error` as loadScript().
bool scriptPlayerLoad(ScriptPlayer* player, const char* path, std::string* error);

// The same for a script's text.
bool scriptPlayerParse(ScriptPlayer* player, const std::string& text, std::string* error);

// The frame count a script dictates when none is given: as many frames as a
// recording (or a script with time lines) holds, else `fallback`.
long scriptPlayerFrames(const ScriptPlayer& player, long fallback);

// Feeds frame `frame`'s events to the scripted input (and its option to
// the player). Returns the frame's recorded time, or -1 when it has none.
// Frames are fed in order.
float scriptPlayerFeed(ScriptPlayer* player, long frame);
