// Recording a live session as a replay script (see script.h).
//
// Every typed character the message pump hands out and every change of a
// polled key's held state is written under the frame that took it in; at the
// end of each frame its measured time follows, and the file is flushed. A
// session that ends by a crash or a kill therefore leaves a script that
// replays every frame it completed. vexarion-replay --script plays it back
// with the recorded frame times, giving the same trace frame for frame.
#pragma once
#include "platform/input.h"

// Creates the recording and writes its header. False when the file can't
// be written, the user told (app/output_file.h): the session plays on.
bool recorderOpen(const char* path);

// The input the current frame takes in (hooked to the input watchers).
void recordChar(int code);
void recordKey(Key key, bool down);

// Ends the current frame: writes its events and its time, flushes, and
// moves on to the next frame.
void recordFrameEnd(float frameTime);

// Closes the recording. False when any write failed (the user was told then).
bool recorderClose();
