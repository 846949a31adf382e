// Saving the frame being drawn as a PNG file: the replay's shots and the
// player's screenshots (F12).
#pragma once
#include <ctime>
#include <string>

// Reads the back buffer (width x height pixels from the lower-left corner)
// and writes it top row first as an RGB PNG at a UTF-8 path. False if the
// file can't be written.
bool saveFrameBufferPng(const char* path, int width, int height);

// The screenshot file name for a local time: "vexarion-2026-12-07-004512.png",
// or with "-2", "-3", ... before the ".png" for the n-th of one second.
std::string screenshotName(const std::tm& local, int n);

// Saves the frame being drawn (width x height) into the user's pictures
// folder, creating it if need be, under a name of the current date and time
// that no earlier screenshot has. Tells its path on stdout; when it can't be
// written, tells the user so, naming the file and the reason, and counts it
// for the exit code (app/output_file.h). True when the picture was saved.
bool takeScreenshot(int width, int height);
