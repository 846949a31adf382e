// A replay script through its parser: an accepted script gives events in
// frame order, each of a known kind with a code or frame time it can carry.
#include <cmath>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "replay/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<ScriptEvent> events;
    std::string error;
    if (!parseScript(std::string(reinterpret_cast<const char*>(data), size), &events, &error)) {
        fuzzCheck(error.rfind("line ", 0) == 0, "an error that names no line");
        return 0;
    }
    long previous = 0;
    for (const ScriptEvent& event : events) {
        fuzzCheck(event.frame >= previous && event.frame <= 999999999, "events out of frame order");
        previous = event.frame;
        if (event.kind == SCRIPT_TYPE)
            fuzzCheck(event.code >= 0 && event.code <= 255, "a typed character out of range");
        else if (event.kind == SCRIPT_TIME)
            fuzzCheck(std::isfinite(event.seconds) && event.seconds >= 0.0f, "a frame time out of range");
        else
            fuzzCheck(event.kind == SCRIPT_PRESS || event.kind == SCRIPT_RELEASE || event.kind == SCRIPT_OPTION,
                      "an unknown event kind");
    }
    return 0;
}
