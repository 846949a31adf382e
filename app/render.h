// The OpenGL context of the main window and the drawing of one frame.
//
// The camera lives entirely on the projection matrix; every mesh draw loads
// its own model-view matrix. One light lights the room; the lightning flash
// turns it into a white light from above. The scene turns slowly about the
// vertical axis, 3 degrees per second.
#pragma once
#include <cstdint>

// What a frame's picture shows from before that frame's changes: the
// camera still looks from the scene's old turn, the fire's window is the one
// the frame advanced from, and the frame-rate text is the one counted
// before it. advanceScene() fills it in.
struct FrameView {
    float cameraYaw = 0.0f;  // degrees
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
// before the frame's changes, and swaps the buffers; `beforeSwap`, when set,
// runs just before the swap (a replay reads the frame back there). Reads
// the scene; changes nothing in it.
void renderFrame(const FrameView& view, void (*beforeSwap)());

// Shows the frame just drawn.
void swapFrameBuffers();

// Releases the context.
void releaseGLContext();
