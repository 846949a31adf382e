// Replay scripts; see replay_script.h.
#include "app/replay_script.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

bool parseKey(const std::string& word, int* key)
{
    if (word == "E") *key = KEY_E;
    else if (word == "W") *key = KEY_W;
    else if (word == "F") *key = KEY_F;
    else if (word == "SHIFT") *key = KEY_SHIFT;
    else return false;
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

bool parseScript(const std::string& text, std::vector<ScriptEvent>* events, std::string* error)
{
    events->clear();
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

        ScriptEvent event;
        std::string problem;
        if (w.size() != 3)
            problem = "expected FRAME ACTION ARGUMENT";
        else if (!parseFrame(w[0], &event.frame))
            problem = "bad frame number '" + w[0] + "'";
        else if (w[1] == "type") {
            event.kind = SCRIPT_TYPE;
            if (w[2] == "esc")
                event.code = 27;
            else if (w[2].size() == 1)
                event.code = static_cast<unsigned char>(w[2][0]);
            else
                problem = "type takes one character or esc, not '" + w[2] + "'";
        } else if (w[1] == "press" || w[1] == "release") {
            event.kind = w[1] == "press" ? SCRIPT_PRESS : SCRIPT_RELEASE;
            if (!parseKey(w[2], &event.code))
                problem = "unknown key '" + w[2] + "' (E, W, F or SHIFT)";
        } else {
            problem = "unknown action '" + w[1] + "' (type, press or release)";
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

bool loadScript(const char* path, std::vector<ScriptEvent>* events, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = std::string("cannot read ") + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!parseScript(text.str(), events, error)) {
        *error = std::string(path) + ": " + *error;
        return false;
    }
    return true;
}
