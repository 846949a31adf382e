// Replay scripts: scripted keys and typed characters, frame by frame.
//
// One event a line, "FRAME type C" (a typed character, or "esc" for Esc),
// "FRAME press K" or "FRAME release K" with K one of E, W, F, SHIFT. A '#'
// starts a comment; blank lines are ignored. Events of one frame keep the
// order of their lines.
#pragma once
#include <string>
#include <vector>

#include "platform/input.h"

enum ScriptEventKind { SCRIPT_TYPE, SCRIPT_PRESS, SCRIPT_RELEASE };

struct ScriptEvent {
    long frame;
    ScriptEventKind kind;
    int code;  // the character code for SCRIPT_TYPE, a Key otherwise
};

// Parses a whole script. On a malformed line returns false with `error`
// naming the line ("line 3: ...") and leaves `events` unspecified.
bool parseScript(const std::string& text, std::vector<ScriptEvent>* events, std::string* error);

// Reads and parses a script file; a file that cannot be read is an error too.
bool loadScript(const char* path, std::vector<ScriptEvent>* events, std::string* error);
