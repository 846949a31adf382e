// The attract mode: the elements come on their own, as in a screen saver.
//
// Now and then lightning strikes the man, a tornado comes down on him and
// goes back up, the sea rises and falls, the land quakes and comes back.
// The attract plays them as a player would, by typing and holding the
// element keys through the input queue (inputAttractChar, inputAttractKey),
// so the scene's own rules decide what they do and a recording of the
// session replays them as ordinary keys. It chooses with a generator of its
// own and only reads the scene, so the scene's random numbers come in the
// same order as ever.
//
// Once the intro is over an element comes every few seconds (`pause` on
// average), at least one every 20 seconds of scene time; one at a time, a
// strike only on a man who stands, walks or crouches unburnt. When the
// player types or presses a key, the attract lets go of its keys and waits
// a minute of scene time after the last one before it plays on.
#pragma once
#include <cstdint>

enum AttractElement { ATTRACT_NONE, ATTRACT_STRIKE, ATTRACT_TORNADO, ATTRACT_SEA, ATTRACT_LAND };

// How many elements a round of the attract plays.
enum { attractRound = 5 };

// The pause between elements that --attract-pause and the setting take,
// in seconds.
const int attractPauseLowest = 2;
const int attractPauseHighest = 15;
const int attractPauseDefault = 8;

struct Attract {
    bool on = false;
    uint32_t randomState = 1;               // its own generator's state
    float pause = 8.0f;                     // the mean pause after an element, seconds
    float nextStart = -1.0f;                // scene time of the next element; -1 until the intro ends
    float lastStart = 0.0f;                 // scene time the last element began
    AttractElement element = ATTRACT_NONE;  // the one playing now
    int phase = 0;                          // its step
    float phaseStart = 0.0f;                // scene time the step began
    float phaseLength = 0.0f;               // seconds the step lasts, where it waits
    float home = 0.0f;                      // the level the sea or the land comes back to
    float target = 0.0f;                    // the level it goes to first
    bool upward = false;                    // the level goes up first
    AttractElement bag[attractRound] = {};  // the elements still due this round, in order
    int bagCount = 0;
    unsigned long touchesSeen = 0;  // the player's touches as last counted
};
extern Attract attract;

// Turns the attract on: its generator starts from `seed`, and elements
// come `pauseSeconds` apart on average. Waits for the intro to end.
void attractStart(uint32_t seed, int pauseSeconds);

// Called once a frame before its messages are taken: types or holds the
// keys of the element playing, starts the next one when it is due, and
// stands back while the player plays. Does nothing while the attract is off.
void attractBeforeMessages();
