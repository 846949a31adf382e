// Sine, cosine and arc tangent of the program's own, for every value that
// changes the scene: the director's headings and the caught man's spiral,
// the tornado's particles and axis, the water's waves.
//
// The C libraries round sinf, cosf and atan2f differently in the last bit
// (glibc, MinGW's, the browser's), and a trace is compared byte for byte
// between systems. These functions use nothing but IEEE arithmetic on
// floats and doubles (range reduction and polynomials, no library call),
// so they give the same bits wherever the compiler neither fuses a*b+c
// (the build passes -ffp-contract=off) nor reorders arithmetic (never
// -ffast-math). Each result is the true value rounded to float, to within
// a small fraction of an ulp beyond the half ulp of rounding.
//
// Drawing that never reaches the scene's state (the joints' double-precision
// rotations, OpenGL's own matrices) keeps the C library.
#pragma once

// sin x, x in radians; any float, NaN for infinities and NaN.
float trigSin(float x);

// cos x, x in radians; any float, NaN for infinities and NaN.
float trigCos(float x);

// The angle of the point (x, y) from the +x axis, in radians from -pi to
// pi, with the signs of zeros and infinities as C's atan2 gives them.
float trigAtan2(float y, float x);
