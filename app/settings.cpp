// The settings file: its lines read under a fixed policy, written back
// whole and safely; see settings.h.
#include "app/settings.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/command_line.h"
#include "platform/folders.h"
#include "platform/notice.h"

namespace fs = std::filesystem;

namespace {

const size_t maxFileBytes = 64 * 1024;
const size_t maxLineBytes = 1024;
const int maxPosition = 100000;  // beyond any desktop's coordinates
const char* const fileName = "settings.ini";
const char* const header = "# Vexarion's settings, written when it quits. Lines it doesn't know are kept.";

enum SettingKey {
    DISPLAY_MODE,
    WINDOW_SIZE,
    WINDOW_POSITION,
    VSYNC,
    MAX_FPS,
    REDUCED_FLASH,
    MUTE_UNFOCUSED,
    SETTING_COUNT
};
const char* const keyNames[SETTING_COUNT] = {"display_mode", "window_size",   "window_position", "vsync",
                                             "max_fps",      "reduced_flash", "mute_unfocused"};

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

// The known key a "key=value" line sets; -1 for any other line.
int knownKeyOf(const std::string& line)
{
    const size_t eq = line.find('=');
    if (eq == std::string::npos)
        return -1;
    const std::string key = trimmed(line.substr(0, eq));
    for (int k = 0; k < SETTING_COUNT; k++)
        if (key == keyNames[k])
            return k;
    return -1;
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

bool parsePosition(const std::string& text, int* x, int* y)
{
    const size_t comma = text.find(',');
    return comma != std::string::npos && parseNumber(trimmed(text.substr(0, comma)), -maxPosition, maxPosition, x) &&
           parseNumber(trimmed(text.substr(comma + 1)), -maxPosition, maxPosition, y);
}

// Takes one known key's value, or leaves the settings alone and says what
// the key takes.
std::string takeValue(int key, const std::string& value, Settings* s)
{
    switch (key) {
    case DISPLAY_MODE: {
        DisplayMode mode;
        if (!parseMode(value, &mode))
            return "a mode such as 800x600, 16bit";
        s->hasDisplayMode = true;
        s->displayMode = mode;
        return "";
    }
    case WINDOW_SIZE: {
        int width = 0, height = 0;
        if (!parseSize(value, &width, &height))
            return "a size such as 1024x768, each side " + std::to_string(minimumSide) + " to " +
                   std::to_string(maximumSide);
        s->hasWindowSize = true;
        s->windowWidth = width;
        s->windowHeight = height;
        return "";
    }
    case WINDOW_POSITION: {
        int x = 0, y = 0;
        if (!parsePosition(value, &x, &y))
            return "a position such as 120,80";
        s->hasWindowPosition = true;
        s->windowX = x;
        s->windowY = y;
        return "";
    }
    case MAX_FPS: return parseFrameCap(value, &s->maxFps) ? "" : "auto or 0 to 1000";
    case VSYNC: return parseSwitch(value, &s->vsync) ? "" : "on or off";
    case REDUCED_FLASH: return parseSwitch(value, &s->reducedFlash) ? "" : "on or off";
    case MUTE_UNFOCUSED: return parseSwitch(value, &s->muteUnfocused) ? "" : "on or off";
    default: return "nothing";
    }
}

// The value written for a key; "" when there is none to write.
std::string valueText(int key, const Settings& s)
{
    char text[64] = "";
    switch (key) {
    case DISPLAY_MODE:
        if (s.hasDisplayMode)
            std::snprintf(text, sizeof text, "%dx%d, %dbit", s.displayMode.width, s.displayMode.height,
                          s.displayMode.bitsPerPixel);
        break;
    case WINDOW_SIZE:
        if (s.hasWindowSize)
            std::snprintf(text, sizeof text, "%dx%d", s.windowWidth, s.windowHeight);
        break;
    case WINDOW_POSITION:
        if (s.hasWindowPosition)
            std::snprintf(text, sizeof text, "%d,%d", s.windowX, s.windowY);
        break;
    case VSYNC: return s.vsync ? "on" : "off";
    case MAX_FPS: return s.maxFps < 0 ? "auto" : std::to_string(s.maxFps);
    case REDUCED_FLASH: return s.reducedFlash ? "on" : "off";
    case MUTE_UNFOCUSED: return s.muteUnfocused ? "on" : "off";
    default: break;
    }
    return text;
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
    const std::string wanted = takeValue(key, value, settings);
    return wanted.empty() ? "" : std::string(keyNames[key]) + " takes " + wanted + ", not '" + value + "'";
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
            settings->keptLines.push_back(std::string(keyNames[key]) + "=");  // its place, for the value written
    }
    if (damaged > 1)
        first += " (and " + std::to_string(damaged - 1) + " more damaged line" + (damaged > 2 ? "s)" : ")");
    return first;
}

std::string formatSettings(const Settings& settings)
{
    std::string text = std::string(header) + "\n";
    bool written[SETTING_COUNT] = {};
    auto write = [&](int key) {
        const std::string value = valueText(key, settings);
        if (!written[key] && !value.empty())
            text += std::string(keyNames[key]) + "=" + value + "\n";
        written[key] = true;
    };
    for (const std::string& line : settings.keptLines) {
        const int key = knownKeyOf(line);
        if (key >= 0)
            write(key);
        else
            text += line + "\n";
    }
    for (int key = 0; key < SETTING_COUNT; key++)
        write(key);
    return text;
}

std::string settingsPath()
{
    const std::string folder = folderForSettings();
    return folder.empty() ? "" : folder + fileName;
}

Settings loadSettings(const std::string& path)
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
    const std::string problem = !in.is_open() || in.bad() ? "cannot be read" : parseSettings(bytes, &settings);
    if (!problem.empty())
        noticeShow(NOTICE_WARNING, "Vexarion: settings " + path + ": " + problem +
                                       "; the defaults stand in for what could not be read\n");
    return settings;
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
