// Replay scripts; see script.h.
#include "replay/script.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/paths.h"

namespace {

bool parseKey(const std::string& word, int* key)
{
    for (int k = 0; k < KEY_COUNT; k++)
        if (word == scriptKeyWord(static_cast<Key>(k))) {
            *key = k;
            return true;
        }
    return false;
}

bool parseChar(const std::string& word, int* code)
{
    if (word == "esc")
        *code = 27;
    else if (word.size() == 1)
        *code = static_cast<unsigned char>(word[0]);
    else if (word.size() <= 3 && word.find_first_not_of("0123456789") == std::string::npos && std::stoi(word) <= 255)
        *code = std::stoi(word);
    else
        return false;
    return true;
}

// A frame time: a finite, non-negative number of seconds, read straight into
// a float so that the nine digits a recording writes give back its exact value.
bool parseSeconds(const std::string& word, float* seconds)
{
    if (word.empty() || word.find_first_not_of("0123456789.eE+-") != std::string::npos)
        return false;
    char* end = nullptr;
    errno = 0;
    float value = std::strtof(word.c_str(), &end);
    if (errno || *end || !(value >= 0.0f && value <= 3.0e38f))
        return false;
    *seconds = value;
    return true;
}

bool parseFrame(const std::string& word, long* frame)
{
    if (word.empty() || word.find_first_not_of("0123456789") != std::string::npos || word.size() > 9)
        return false;
    *frame = std::strtol(word.c_str(), nullptr, 10);
    return true;
}

}  // namespace

std::string scriptCharWord(int code)
{
    if (code == 27)
        return "esc";
    if (code > 32 && code < 127 && code != '#')
        return std::string(1, static_cast<char>(code));
    char digits[8];
    std::snprintf(digits, sizeof digits, "%02d", code & 0xFF);
    return digits;
}

const char* scriptKeyWord(Key key)
{
    switch (key) {
    case KEY_E: return "E";
    case KEY_W: return "W";
    case KEY_F: return "F";
    case KEY_SHIFT: return "SHIFT";
    default: return "?";
    }
}

bool parseScript(const std::string& text, std::vector<ScriptEvent>* events, std::string* error, bool* recording)
{
    events->clear();
    bool isRecording = text.compare(0, recordingHeader.size(), recordingHeader) == 0;
    if (recording)
        *recording = isRecording;
    // A recording's unterminated last line was cut off mid-write: parse the
    // whole lines first, and the rest only if this is no recording.
    if (!text.empty() && text.back() != '\n') {
        const size_t cut = text.find_last_of('\n') + 1;  // 0 when there is no newline
        if (!parseScript(text.substr(0, cut), events, error))
            return false;
        isRecording = isRecording || std::any_of(events->begin(), events->end(),
                                                 [](const ScriptEvent& e) { return e.kind == SCRIPT_TIME; });
        if (recording)
            *recording = isRecording;
        if (isRecording)
            return true;
        return parseScript(text + "\n", events, error);
    }
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        number++;
        size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> w;
        std::string word;
        while (words >> word)
            w.push_back(word);
        if (w.empty())
            continue;

        ScriptEvent event{0, SCRIPT_TYPE, 0, 0.0f};
        std::string problem;
        if (w.size() != 3)
            problem = "expected FRAME ACTION ARGUMENT";
        else if (!parseFrame(w[0], &event.frame))
            problem = "bad frame number '" + w[0] + "'";
        else if (w[1] == "type") {
            event.kind = SCRIPT_TYPE;
            if (!parseChar(w[2], &event.code))
                problem = "type takes one character, esc or a character code, not '" + w[2] + "'";
        } else if (w[1] == "time") {
            event.kind = SCRIPT_TIME;
            if (!parseSeconds(w[2], &event.seconds))
                problem = "bad frame time '" + w[2] + "'";
        } else if (w[1] == "option") {
            event.kind = SCRIPT_OPTION;
            if (w[2] != scriptOptionReducedFlash)
                problem = "unknown option '" + w[2] + "' (" + scriptOptionReducedFlash + ")";
        } else if (w[1] == "press" || w[1] == "release") {
            event.kind = w[1] == "press" ? SCRIPT_PRESS : SCRIPT_RELEASE;
            if (!parseKey(w[2], &event.code))
                problem = "unknown key '" + w[2] + "' (E, W, F or SHIFT)";
        } else {
            problem = "unknown action '" + w[1] + "' (type, press, release, time or option)";
        }
        if (!problem.empty()) {
            *error = "line " + std::to_string(number) + ": " + problem;
            return false;
        }
        events->push_back(event);
    }
    std::stable_sort(events->begin(), events->end(),
                     [](const ScriptEvent& a, const ScriptEvent& b) { return a.frame < b.frame; });
    return true;
}

bool loadScript(const char* path, std::vector<ScriptEvent>* events, std::string* error, bool* recording)
{
    std::FILE* in = fileOpen(path, "rb");
    if (!in) {
        *error = std::string("cannot read ") + path;
        return false;
    }
    std::string text;
    char block[4096];
    for (size_t n; (n = std::fread(block, 1, sizeof block, in)) > 0;)
        text.append(block, n);
    std::fclose(in);
    if (!parseScript(text, events, error, recording)) {
        *error = std::string(path) + ": " + *error;
        return false;
    }
    return true;
}

namespace {

void takeFrameTimes(ScriptPlayer* player)
{
    for (const ScriptEvent& e : player->events)
        if (e.kind == SCRIPT_TIME)
            player->frameTimes[e.frame] = e.seconds;
}

}  // namespace

bool scriptPlayerLoad(ScriptPlayer* player, const char* path, std::string* error)
{
    *player = ScriptPlayer{};
    if (!loadScript(path, &player->events, error, &player->recording))
        return false;
    takeFrameTimes(player);
    return true;
}

bool scriptPlayerParse(ScriptPlayer* player, const std::string& text, std::string* error)
{
    *player = ScriptPlayer{};
    if (!parseScript(text, &player->events, error, &player->recording))
        return false;
    takeFrameTimes(player);
    return true;
}

long scriptPlayerFrames(const ScriptPlayer& player, long fallback)
{
    if (!player.recording && player.frameTimes.empty())
        return fallback;
    return player.frameTimes.empty() ? 0 : player.frameTimes.rbegin()->first + 1;
}

float scriptPlayerFeed(ScriptPlayer* player, long frame)
{
    for (; player->next < player->events.size() && player->events[player->next].frame <= frame; player->next++) {
        const ScriptEvent& e = player->events[player->next];
        if (e.frame < frame)
            continue;
        if (e.kind == SCRIPT_TYPE)
            inputScriptChar(e.code);
        else if (e.kind == SCRIPT_OPTION)
            player->reducedFlash = true;
        else if (e.kind != SCRIPT_TIME)
            inputScriptKey(static_cast<Key>(e.code), e.kind == SCRIPT_PRESS);
    }
    auto recorded = player->frameTimes.find(frame);
    return recorded != player->frameTimes.end() ? recorded->second : -1.0f;
}
