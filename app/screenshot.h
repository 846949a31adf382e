// Saving the frame being drawn as a PNG file.
#pragma once

// Reads the back buffer (width x height pixels from the lower-left corner)
// and writes it top row first as an RGB PNG. False if the file can't be written.
bool saveFrameBufferPng(const char* path, int width, int height);
