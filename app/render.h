// The OpenGL context of the main window and the drawing of one frame.
//
// The camera lives entirely on the projection matrix; every mesh draw loads
// its own model-view matrix. One light lights the room; the lightning flash
// turns it into a white light from above. The scene turns slowly about the
// vertical axis, 3 degrees per second.
#pragma once
#include <cstdint>

// What a frame's picture takes from the frame's step, which changes the
// values in between: the camera still looks from the scene's old turn while
// the billboards (the tornado's particles, the fire's puffs) face its new
// one; the fire's window is the one the frame advanced from, and the
// frame-rate text is the one counted before it. advanceScene() fills it in.
struct FrameView {
    float cameraYaw = 0.0f;     // degrees: the scene's turn before this frame's
    float billboardYaw = 0.0f;  // degrees: the scene's turn after this frame's
    int32_t fireFirst = 0;
    int32_t fireEnd = 0;
    bool showFrameRate = false;  // F is held, or was pressed since the last frame
    char frameRateText[16] = "";
};

// The first of the 256 display lists that draw the frame-rate text's
// glyphs, one per character code.
const int glyphListBase = 1000;

// Creates the context on the main window and makes it current. False when
// the platform has none (the null backend): nothing can be drawn then.
bool createGLContext();

// Draws one frame of the scene as it stands, with `view`'s values from
// the frame's step, and swaps the buffers; `beforeSwap`, when set, runs
// just before the swap (a replay reads the frame back there). Reads the
// scene and its meshes; changes nothing in them.
void renderFrame(const FrameView& view, void (*beforeSwap)());

// Shows the frame just drawn.
void swapFrameBuffers();

// Releases the context.
void releaseGLContext();
