// The sea's surface: a translucent corrugated sheet, 120 by 120 units and
// centred on the origin, whose waves roll along the x axis.
//
// The sheet is 31 columns straight across z, two vertices each (near end
// z = -60, far end z = +60), joined by 30 strips of two triangles. The
// faces are built once; the vertices are rewritten every frame in the same
// order into the same storage. The renderer places the sheet at the sea
// level, four times stacked.
#pragma once

// Loads "Water.bmp" into meshes.water and builds the sheet at time 0.
void waterInit();

// Rewrites the sheet's vertices for `time` seconds (the total time of the
// frames before this one). Allocates nothing after the first frame.
void waterUpdate(float time);
