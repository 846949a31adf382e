// Vec3: three 32-bit floats. World units; y is up, the sea and the land lie in x and z.
#pragma once

struct Vec3 {
    float x, y, z;
};
