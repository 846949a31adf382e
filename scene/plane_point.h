// A point on the ground plane: world x and z, y left out.
#pragma once

struct PlanePoint {
    float x, z;
};
