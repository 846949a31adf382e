// The program's icon for its windows: the menu's icon (a frame of the scene
// that the build renders) made small. The build generates its definition;
// a build without the rendered icon gives none.
#pragma once

// The icon's pixels, *side x *side of RGBA bytes, top row first; null, with
// *side 0, when the build has no icon.
const unsigned char* programIconPixels(int* side);
