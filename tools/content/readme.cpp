// README.TXT: the keys and what each element does to the character, the
// text the start-up dialog points to.
#include <cstdio>
#include <cstring>

#include "tools/content/content.h"

namespace {

const char readmeText[] =
    "VEXARION\n"
    "========\n"
    "\n"
    "A man lives in a small room on an island in the sea. He goes about his\n"
    "day on his own: he stands, crouches, strolls to places on the island,\n"
    "and swims when he has to. You cannot steer him. Instead you turn the\n"
    "four elements against him and watch what he does.\n"
    "\n"
    "PHOTOSENSITIVITY: lightning flashes the whole picture white. If flashing\n"
    "light troubles you, start the program with \"--reduced-flash\" (it is\n"
    "remembered): the flash then brightens the picture at most a third as\n"
    "much and never comes more often than three times a second.\n"
    "\n"
    "Pick a display mode in the first window and press \"Start!\". For the\n"
    "first four seconds the man shrinks to his normal size; the element keys\n"
    "work once he has. To play in a window on the desktop instead, start\n"
    "\"vexarion --window\" (or \"--window 800x600\"), or press Alt+Return (or\n"
    "F11) at any time to go from full screen to a window and back. A window\n"
    "can be resized. \"vexarion --help\" lists every option, among them\n"
    "recording a session to replay it, the frame cap and turning vsync off.\n"
    "What you chose last (the mode, the window, the options) is remembered\n"
    "for the next start.\n"
    "\n"
    "KEYS\n"
    "\n"
    "  E          hold to lower the land (earth), with the rumble of a quake\n"
    "  Shift+E    hold to raise the land\n"
    "  W          hold to lower the sea (water)\n"
    "  Shift+W    hold to raise the sea\n"
    "  L          strike him with lightning (fire)\n"
    "  t          bring a tornado down on him (air)\n"
    "  T          (Shift+T) send the tornado back up into the sky\n"
    "  F          hold to show the frame rate\n"
    "  F12        save a screenshot in your Pictures folder\n"
    "  Alt+Return full screen on or off (F11 too)\n"
    "  Esc        quit\n"
    "\n"
    "WHAT THE ELEMENTS DO TO HIM\n"
    "\n"
    "Earth. The island sinks or rises as you hold E or Shift+E, and the\n"
    "  ground rumbles. He keeps his feet on the ground as it moves. Sink the\n"
    "  land far enough under the sea and he has to swim; raise it and he\n"
    "  finds new dry ground to walk to.\n"
    "\n"
    "Water. Raise the sea and the beaches flood: he gives up on places that\n"
    "  have gone under and looks for dry ground. Raise it to the top and the\n"
    "  whole island drowns; he swims, heading back toward his home, and\n"
    "  walks ashore again wherever the water grows shallow. Lower the sea to\n"
    "  give him more land.\n"
    "\n"
    "Fire. A lightning strike sets him alight, with a flash and a clap of\n"
    "  thunder. Burning, he runs for deep water, and once he reaches it he\n"
    "  crouches down in the sea until the flames hiss out, then swims back.\n"
    "  Lightning cannot reach him while he swims or is in the air; then it\n"
    "  strikes the island instead. A new strike needs the last flash to fade.\n"
    "\n"
    "Air. A tornado comes down from the sky and follows him. When its foot\n"
    "  reaches him it catches him, puts out any fire, and whirls him up and\n"
    "  around. Send it back up and it lets him go: he falls, lands with a\n"
    "  thud and gets up again, or splashes into the sea and swims home.\n"
    "\n"
    "The scene turns slowly all the while, so you see the island from every\n"
    "side.\n"
    "\n"
    "IN A WEB BROWSER\n"
    "\n"
    "The page fills the browser's window. On a phone or a tablet, buttons\n"
    "over the picture stand for the keys; they show at the first touch and\n"
    "hide again when you type or use a game pad. Hold several at once; slide\n"
    "a finger off a button to let it go.\n"
    "\n"
    "  lower left    land up and down (hold), sea up and down (hold)\n"
    "  lower right   lightning, tornado down, tornado up\n"
    "  top right     fps: hold to show the frame rate\n"
    "  top left      quit: back to the first page\n"
    "\n"
    "A game pad works in the page as on the desktop once the browser lists\n"
    "it, which it does after the pad's first button press.\n";

}  // namespace

bool makeReadme(const std::string& folder)
{
    std::FILE* f = std::fopen((folder + "README.TXT").c_str(), "wb");
    if (!f)
        return false;
    const size_t length = std::strlen(readmeText);
    bool ok = std::fwrite(readmeText, 1, length, f) == length;
    return std::fclose(f) == 0 && ok;
}
