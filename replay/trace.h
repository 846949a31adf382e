// Frame traces of a replay or a live session: one CSV row of the scene's state per frame.
//
// Columns, in order: frame, frameTime, totalTime, characterScale,
// directorState, poseMode, poseStep, posX, posY, posZ, heading, targetX, targetZ,
// actionTimer, seaLevel, landLevel, flashIntensity, burning, tornadoBottom,
// tornadoSpeed, tornadoVisibility, quakeVolume, seaVolume, sceneYaw, events.
// Floats are printed with nine significant digits, enough to read back the
// exact value. `events` lists the sound starts and stops made during the
// frame, separated by ';': "play NAME", "loop NAME" or "stop NAME"; frame
// 0's row also lists the sounds started at start-up.
#pragma once
#include <cstdio>
#include <string>

// Opens the trace file and writes the header; starts following the sounds.
// False when the file can't be written, the user told (app/output_file.h):
// the run goes on without its trace.
bool traceOpen(const char* path);

// Writes the row of the frame that just completed, and flushes it; after a
// failed write, nothing.
void traceFrame(long frame);

// Stops following the sounds and closes the file. False if writing failed
// (the user was told when it did).
bool traceClose();

// The header line, and the row of the scene's state as it stands for
// `frame` with its sound events; neither ends in a newline.
std::string traceHeader();
std::string traceRow(long frame, const std::string& events);

// The name of a sound handle in traces ("burn", "hiss", ...); "?" for others.
const char* traceSoundName(const void* sound);
