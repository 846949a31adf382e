// Angles: converting degrees to radians, and keeping ever-growing angles
// precise over very long runs.
//
// Headings, mesh rotations and the scene's turn are in degrees; joint
// angles, the tornado's particles and the water's waves in radians.
//
// Some angles (the tornado's particles, the caught character's spiral) only
// ever grow. A float loses the small per-frame steps once it is large (at
// 10^6 radians its spacing is 0.06), so such an angle is brought back by
// 1024 full turns once it passes that many. The first time that happens is
// after many minutes of spin; until then the angle is exactly what plain
// addition gives, and afterwards its cosine and sine differ by less than
// 0.0003 radians of the true angle's.
#pragma once

// Radians per degree, to the precision the pose tables are converted with;
// single-precision code takes static_cast<float>(radiansPerDegree).
constexpr double radiansPerDegree = 0.017453292;

// 1024 x 2 pi in single precision.
constexpr float longAngleTurns = 6433.98193f;

// The angle less 1024 turns when it has passed 1024 turns, else unchanged.
// For angles up to twice the bound the subtraction is exact.
inline float wrapLongAngle(float angle)
{
    return angle > longAngleTurns ? angle - longAngleTurns : angle;
}
