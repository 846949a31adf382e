// The attract mode; see attract.h.
//
// Each element is a little program of steps over the scene's time: a strike
// is one typed L; a tornado is a t, then a T a few seconds after it has
// caught the man; the sea and the land are held keys that move the level to
// a target, let go, and after a pause bring it back to where it was. The
// levels are watched as they move, so an element ends where the scene's
// limits stop it too.
#include "app/attract.h"

#include <algorithm>

#include "effects/fire.h"
#include "effects/lightning.h"
#include "effects/tornado.h"
#include "platform/input.h"
#include "scene/director.h"
#include "scene/scene_state.h"

Attract attract;

namespace {

const float firstAfterIntro[2] = {1.0f, 2.5f};  // seconds after the intro, the first element
const float longestBetween = 18.0f;             // seconds from one element's start to the next's, at most
const float playerWait = 60.0f;                 // seconds after the player's last key
const float longestHold = 6.0f;                 // seconds a level is moved before the attract lets go
const float longestDescent = 10.0f;             // seconds a tornado may take to catch him
const float restBottom = 94.9f;                 // a tornado's lower end above this is at rest

// A number from `low` up to `high` from the attract's own generator.
float draw(float low, float high)
{
    attract.randomState = attract.randomState * 1664525u + 1013904223u;
    return low + (high - low) * static_cast<float>(attract.randomState >> 8) / 16777216.0f;
}

void holdKeys(bool e, bool w, bool shift)
{
    inputAttractKey(KEY_SHIFT, shift);
    inputAttractKey(KEY_E, e);
    inputAttractKey(KEY_W, w);
}

void letGo()
{
    holdKeys(false, false, false);
}

bool introOver()
{
    return scene.characterScale <= introEndScale;
}

bool tornadoAtRest()
{
    return tornado.bottom > restBottom && tornado.speed > -0.01f;
}

// Whether the element may start now, by the scene's rules and the attract's.
bool allowed(AttractElement element)
{
    const DirectorState state = director.state;
    switch (element) {
    case ATTRACT_STRIKE:
        // On a man who stands, walks or crouches, not burning; never on a
        // swimmer, a caught or a falling man.
        return (state == DirectorState::Stand || state == DirectorState::Walk || state == DirectorState::Crouch) &&
               !fire.burning && lightning.flashIntensity <= 0.01f && lightning.sinceStrike >= 1.0f;
    case ATTRACT_TORNADO: return tornadoAtRest() && state != DirectorState::Caught && state != DirectorState::Fall;
    case ATTRACT_SEA:
    case ATTRACT_LAND: return true;
    default: return false;
    }
}

// A new round: every element once and the lightning twice (it is the
// scene's brightest moment), in an order of the generator's.
void refillBag()
{
    const AttractElement all[attractRound] = {ATTRACT_STRIKE, ATTRACT_STRIKE, ATTRACT_TORNADO, ATTRACT_SEA,
                                              ATTRACT_LAND};
    attract.bagCount = 0;
    for (AttractElement element : all)
        attract.bag[attract.bagCount++] = element;
    for (int i = attract.bagCount - 1; i > 0; i--) {
        const int j = std::min(i, static_cast<int>(draw(0.0f, static_cast<float>(i + 1))));
        std::swap(attract.bag[i], attract.bag[j]);
    }
}

// The next element of the round that may start now; a fresh round when none
// of this one's may. The sea and the land always may.
AttractElement chooseElement()
{
    for (int round = 0; round < 2; round++) {
        if (attract.bagCount == 0 || round == 1)
            refillBag();
        for (int i = 0; i < attract.bagCount; i++) {
            const AttractElement element = attract.bag[i];
            if (!allowed(element))
                continue;
            std::copy(attract.bag + i + 1, attract.bag + attract.bagCount, attract.bag + i);
            attract.bagCount--;
            return element;
        }
    }
    return ATTRACT_SEA;
}

void beginStep(int phase, float now, float length = 0.0f)
{
    attract.phase = phase;
    attract.phaseStart = now;
    attract.phaseLength = length;
}

void endElement(float now)
{
    letGo();
    attract.element = ATTRACT_NONE;
    const float pause = attract.pause * draw(0.5f, 1.5f);
    attract.nextStart = std::min(now + pause, attract.lastStart + longestBetween);
}

float level()
{
    return attract.element == ATTRACT_SEA ? scene.seaLevel : scene.landLevel;
}

// Holds the keys that move the sea (W) or the land (E), up with Shift.
void holdToward(bool up)
{
    const bool sea = attract.element == ATTRACT_SEA;
    holdKeys(!sea, sea, up);
}

// Where the sea or the land goes, from where it is: away from its limits,
// and mostly down for the land (it quakes as it sinks, and he swims).
void chooseLevels()
{
    const float home = level();
    attract.home = home;
    if (attract.element == ATTRACT_SEA) {
        attract.upward = home < -24.0f ? true : home > -9.0f ? false : draw(0.0f, 1.0f) < 0.5f;
        attract.target =
            attract.upward ? std::min(home + draw(5.0f, 11.0f), -5.0f) : std::max(home - draw(6.0f, 12.0f), -33.0f);
    } else {
        attract.upward = home < -25.0f ? true : home > 10.0f ? false : draw(0.0f, 1.0f) < 0.35f;
        attract.target =
            attract.upward ? std::min(home + draw(3.0f, 8.0f), 18.0f) : std::max(home - draw(4.0f, 10.0f), -45.0f);
    }
}

void startElement(AttractElement element, float now)
{
    attract.element = element;
    attract.lastStart = now;
    beginStep(0, now);
    switch (element) {
    case ATTRACT_STRIKE:
        inputAttractChar('L');
        endElement(now);
        break;
    case ATTRACT_TORNADO:
        inputAttractChar('t');
        beginStep(1, now);
        break;
    default:
        chooseLevels();
        holdToward(attract.upward);
        beginStep(1, now);
        break;
    }
}

void stepTornado(float now)
{
    const float since = now - attract.phaseStart;
    if (attract.phase == 1 && director.state == DirectorState::Caught)
        beginStep(2, now, draw(2.5f, 4.5f));
    else if ((attract.phase == 1 && since >= longestDescent) || (attract.phase == 2 && since >= attract.phaseLength)) {
        inputAttractChar('T');
        endElement(now);
    }
}

void stepLevel(float now)
{
    const float since = now - attract.phaseStart;
    const bool up = attract.upward;
    switch (attract.phase) {
    case 1:
        if ((up ? level() >= attract.target : level() <= attract.target) || since >= longestHold) {
            letGo();
            beginStep(2, now, draw(1.5f, 4.0f));
        }
        break;
    case 2:
        if (since >= attract.phaseLength) {
            holdToward(!up);
            beginStep(3, now);
        }
        break;
    default:
        if ((up ? level() <= attract.home : level() >= attract.home) || since >= longestHold)
            endElement(now);
        break;
    }
}

}  // namespace

void attractStart(uint32_t seed, int pauseSeconds)
{
    attract = Attract{};
    attract.on = true;
    attract.randomState = seed;
    attract.pause = static_cast<float>(std::clamp(pauseSeconds, attractPauseLowest, attractPauseHighest));
    attract.touchesSeen = inputPlayerTouches();
}

void attractBeforeMessages()
{
    if (!attract.on)
        return;
    const float now = scene.totalTime;
    const unsigned long touches = inputPlayerTouches();
    if (touches != attract.touchesSeen) {
        // The player plays: the attract lets go and waits.
        attract.touchesSeen = touches;
        letGo();
        attract.element = ATTRACT_NONE;
        attract.nextStart = now + playerWait;
        attract.lastStart = attract.nextStart;
        return;
    }
    if (!introOver())
        return;
    if (attract.nextStart < 0.0f) {
        attract.nextStart = now + draw(firstAfterIntro[0], firstAfterIntro[1]);
        attract.lastStart = attract.nextStart;
    }
    switch (attract.element) {
    case ATTRACT_TORNADO: stepTornado(now); return;
    case ATTRACT_SEA:
    case ATTRACT_LAND: stepLevel(now); return;
    default: break;
    }
    if (now < attract.nextStart)
        return;
    if (!tornadoAtRest() && tornado.speed <= 0.01f) {
        // A tornado left down (the player brought it, or stopped the
        // attract while it held him) goes back up first.
        attract.element = ATTRACT_TORNADO;
        attract.lastStart = now;
        beginStep(2, now);
        stepTornado(now);
        return;
    }
    startElement(chooseElement(), now);
}
