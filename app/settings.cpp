// The settings file: its lines read under a fixed policy, written back
// whole and safely; see settings.h.
#include "app/settings.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/options.h"
#include "platform/folders.h"
#include "platform/notice.h"

namespace fs = std::filesystem;

namespace {

const size_t maxFileBytes = 64 * 1024;
const size_t maxLineBytes = 1024;
const char* const fileName = "settings.ini";
const char* const header = "# Vexarion's settings, written when it quits. Lines it doesn't know are kept.";

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool isKeyName(const std::string& key)
{
    return !key.empty() && key.find_first_not_of(
                               "abcdefghijklmnopqrstuvwxyz"
                               "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-.") == std::string::npos;
}

// A whole number of at most six digits, with an optional minus sign, in [low, high].
bool parseNumber(const std::string& text, int low, int high, int* value)
{
    const size_t digits = text.compare(0, 1, "-") == 0 ? 1 : 0;
    if (text.size() <= digits || text.size() - digits > 6 ||
        text.find_first_not_of("0123456789", digits) != std::string::npos)
        return false;
    const int v = std::stoi(text);
    if (v < low || v > high)
        return false;
    *value = v;
    return true;
}

bool parseSwitch(const std::string& text, bool* value)
{
    for (const char* on : {"on", "true", "yes", "1"})
        if (text == on) {
            *value = true;
            return true;
        }
    for (const char* off : {"off", "false", "no", "0"})
        if (text == off) {
            *value = false;
            return true;
        }
    return false;
}

// "800x600, 16bit", the dialog's own words for a mode.
bool parseMode(const std::string& text, DisplayMode* mode)
{
    const size_t x = text.find('x'), comma = text.find(", "), bit = text.rfind("bit");
    DisplayMode m;
    if (x == std::string::npos || comma == std::string::npos || bit == std::string::npos || bit + 3 != text.size() ||
        !(x < comma && comma < bit) || !parseNumber(text.substr(0, x), 1, 16384, &m.width) ||
        !parseNumber(text.substr(x + 1, comma - x - 1), 1, 16384, &m.height) ||
        !parseNumber(text.substr(comma + 2, bit - comma - 2), 9, 64, &m.bitsPerPixel))
        return false;
    *mode = m;
    return true;
}

// "120,80": both or neither are taken.
bool parsePosition(const std::string& text, int* x, int* y)
{
    const size_t comma = text.find(',');
    const int limit = largestWindowPosition;
    int px = 0, py = 0;
    if (comma == std::string::npos || !parseNumber(trimmed(text.substr(0, comma)), -limit, limit, &px) ||
        !parseNumber(trimmed(text.substr(comma + 1)), -limit, limit, &py))
        return false;
    *x = px;
    *y = py;
    return true;
}

std::string onOff(bool value)
{
    return value ? "on" : "off";
}

std::string takeSwitch(const std::string& value, bool* setting)
{
    return parseSwitch(value, setting) ? "" : "on or off";
}

struct SettingRow {
    const char* key;
    // Takes the value into the settings, or leaves them alone and says what
    // the key takes.
    std::string (*read)(const std::string& value, Settings* s);
    // The value written for the key; "" when there is none to write.
    std::string (*write)(const Settings& s);
    // The command-line option that overrides the setting, or null.
    const char* option;
};

// Every setting, in the order a new file lists them.
const SettingRow settingRows[] = {
    {"display_mode",
     [](const std::string& v, Settings* s) -> std::string {
         if (!parseMode(v, &s->displayMode))
             return "a mode such as 800x600, 16bit";
         s->hasDisplayMode = true;
         return "";
     },
     [](const Settings& s) -> std::string {
         char text[64] = "";
         if (s.hasDisplayMode)
             std::snprintf(text, sizeof text, "%dx%d, %dbit", s.displayMode.width, s.displayMode.height,
                           s.displayMode.bitsPerPixel);
         return text;
     },
     nullptr},
    {"window_size",
     [](const std::string& v, Settings* s) -> std::string {
         if (!parseSize(v, &s->windowWidth, &s->windowHeight))
             return "a size such as 1024x768, each side " + std::to_string(minimumSide) + " to " +
                    std::to_string(maximumSide);
         s->hasWindowSize = true;
         return "";
     },
     [](const Settings& s) {
         return s.hasWindowSize ? std::to_string(s.windowWidth) + "x" + std::to_string(s.windowHeight) : "";
     },
     nullptr},
    {"window_position",
     [](const std::string& v, Settings* s) -> std::string {
         if (!parsePosition(v, &s->windowX, &s->windowY))
             return "a position such as 120,80";
         s->hasWindowPosition = true;
         return "";
     },
     [](const Settings& s) {
         return s.hasWindowPosition ? std::to_string(s.windowX) + "," + std::to_string(s.windowY) : "";
     },
     nullptr},
    {"vsync", [](const std::string& v, Settings* s) { return takeSwitch(v, &s->vsync); },
     [](const Settings& s) { return onOff(s.vsync); }, "vsync"},
    {"max_fps",
     [](const std::string& v, Settings* s) -> std::string {
         return parseFrameCap(v, &s->maxFps) ? "" : "auto or 0 to " + std::to_string(maxFrameRateCap);
     },
     [](const Settings& s) { return s.maxFps < 0 ? std::string("auto") : std::to_string(s.maxFps); }, "max-fps"},
    {"reduced_flash", [](const std::string& v, Settings* s) { return takeSwitch(v, &s->reducedFlash); },
     [](const Settings& s) { return onOff(s.reducedFlash); }, "reduced-flash"},
    {"mute_unfocused", [](const std::string& v, Settings* s) { return takeSwitch(v, &s->muteUnfocused); },
     [](const Settings& s) { return onOff(s.muteUnfocused); }, "mute-unfocused"},
    {"attract_pause",
     [](const std::string& v, Settings* s) -> std::string {
         return parseNumber(v, attractPauseLowest, attractPauseHighest, &s->attractPause)
                    ? ""
                    : std::to_string(attractPauseLowest) + " to " + std::to_string(attractPauseHighest) + " seconds";
     },
     [](const Settings& s) { return std::to_string(s.attractPause); }, "attract-pause"},
    {"saver_sound", [](const std::string& v, Settings* s) { return takeSwitch(v, &s->saverSound); },
     [](const Settings& s) { return onOff(s.saverSound); }, nullptr},
};
const int settingCount = sizeof settingRows / sizeof settingRows[0];

// The setting a "key=value" line sets; -1 for any other line.
int knownKeyOf(const std::string& line)
{
    const size_t eq = line.find('=');
    if (eq == std::string::npos)
        return -1;
    const std::string key = trimmed(line.substr(0, eq));
    for (int k = 0; k < settingCount; k++)
        if (key == settingRows[k].key)
            return k;
    return -1;
}

// Why a line can't be read; "" for a line that can.
std::string lineDamage(const std::string& line, Settings* settings)
{
    if (line.size() > maxLineBytes)
        return "a line longer than " + std::to_string(maxLineBytes) + " bytes";
    for (unsigned char c : line)
        if ((c < 0x20 && c != '\t') || c == 0x7F)
            return "a control byte";
    const std::string content = trimmed(line);
    if (content.empty() || content[0] == '#')
        return "";
    const size_t eq = content.find('=');
    if (eq == std::string::npos || !isKeyName(trimmed(content.substr(0, eq))))
        return "not key=value";
    const int key = knownKeyOf(content);
    if (key < 0)
        return "";
    const std::string value = trimmed(content.substr(eq + 1));
    const std::string wanted = settingRows[key].read(value, settings);
    return wanted.empty() ? "" : std::string(settingRows[key].key) + " takes " + wanted + ", not '" + value + "'";
}

}  // namespace

std::string parseSettings(const std::string& bytes, Settings* settings)
{
    *settings = Settings();
    if (bytes.size() > maxFileBytes)
        return "longer than " + std::to_string(maxFileBytes / 1024) + " KiB";
    std::string first;
    int damaged = 0;
    size_t start = 0;
    for (int number = 1; start < bytes.size(); number++) {
        const size_t end = bytes.find('\n', start);
        std::string line = bytes.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? bytes.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // A last line without its newline is what a write cut short leaves.
        const std::string damage = end == std::string::npos ? "an unfinished last line" : lineDamage(line, settings);
        if (damage.empty()) {
            if (line != header)
                settings->keptLines.push_back(line);
            continue;
        }
        if (damaged++ == 0)
            first = "line " + std::to_string(number) + ": " + damage;
        const int key = knownKeyOf(line);
        if (key >= 0)
            settings->keptLines.push_back(std::string(settingRows[key].key) + "=");  // its place, for the value written
    }
    if (damaged > 1)
        first += " (and " + std::to_string(damaged - 1) + " more damaged line" + (damaged > 2 ? "s)" : ")");
    return first;
}

std::string formatSettings(const Settings& settings)
{
    std::string text = std::string(header) + "\n";
    bool written[settingCount] = {};
    auto write = [&](int key) {
        const std::string value = settingRows[key].write(settings);
        if (!written[key] && !value.empty())
            text += std::string(settingRows[key].key) + "=" + value + "\n";
        written[key] = true;
    };
    for (const std::string& line : settings.keptLines) {
        const int key = knownKeyOf(line);
        if (key >= 0)
            write(key);
        else
            text += line + "\n";
    }
    for (int key = 0; key < settingCount; key++)
        write(key);
    return text;
}

void settingsTakeOptions(const Options& options, Settings* settings)
{
    for (const SettingRow& row : settingRows)
        if (row.option && options.isGiven(row.option))
            row.read(options.given.at(row.option), settings);
}

std::string settingsPath()
{
    const std::string folder = folderForSettings();
    return folder.empty() ? "" : folder + fileName;
}

namespace {

// The file's settings, with what could not be read in *problem ("" for none).
Settings readSettings(const std::string& path, std::string* problem)
{
    Settings settings;
    std::error_code error;
    const fs::path file = fs::u8path(path);
    if (path.empty() || (!fs::exists(file, error) && !error))
        return settings;
    // One byte more than a file may have, to tell a file that is too long;
    // a failed read (a folder by that name, a bad disk) leaves the stream bad.
    std::ifstream in(file, std::ios::binary);
    std::string bytes(maxFileBytes + 1, '\0');
    in.read(&bytes[0], static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    *problem = !in.is_open() || in.bad() ? "cannot be read" : parseSettings(bytes, &settings);
    return settings;
}

}  // namespace

Settings loadSettings(const std::string& path)
{
    std::string problem;
    Settings settings = readSettings(path, &problem);
    if (!problem.empty())
        noticeShow(NOTICE_WARNING, "Vexarion: settings " + path + ": " + problem +
                                       "; the defaults stand in for what could not be read\n");
    return settings;
}

Settings loadSettingsQuietly(const std::string& path)
{
    std::string problem;
    return readSettings(path, &problem);
}

bool saveSettings(const std::string& path, const Settings& settings)
{
    if (path.empty())
        return false;
    const fs::path file = fs::u8path(path);
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    // A name of its own for the new file, should two sessions end at once.
    fs::path fresh = file;
    fresh += ".new-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::string text = formatSettings(settings);
    errno = 0;
    std::ofstream out(fresh, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    std::string problem;
    if (!out)
        problem = errno ? std::strerror(errno) : "cannot write";
    else if (fs::rename(fresh, file, error), error)
        problem = error.message();
    if (problem.empty())
        return true;
    fs::remove(fresh, error);
    noticeShow(NOTICE_WARNING, "Vexarion: cannot save the settings in " + path + ": " + problem + "\n");
    return false;
}
