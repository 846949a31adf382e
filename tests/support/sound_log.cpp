// A record of played and stopped sounds; see sound_log.h.
#include "tests/support/sound_log.h"

namespace {

std::vector<SoundLogEntry> entries;

void record(const Sound* sound, SoundEvent event)
{
    entries.push_back(SoundLogEntry{sound, event});
}

}  // namespace

void soundLogStart()
{
    entries.clear();
    setSoundObserver(record);
}

const std::vector<SoundLogEntry>& soundLog()
{
    return entries;
}

int soundLogCount(const Sound& sound, SoundEvent event)
{
    int count = 0;
    for (const SoundLogEntry& entry : entries)
        if (entry.sound == &sound && entry.event == event)
            count++;
    return count;
}
