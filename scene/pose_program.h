// Pose programs: standing, walking, running, swimming, crouching and
// tumbling, each a chain of short blends between key poses.
//
// Every time a blend finishes, the active program writes the next key pose
// and its duration and starts the next blend. Walk, Run and Swim cycle
// through four key poses with one step counter that all programs share;
// Stand and Crouch repeat one pose; Tumble draws a new random pose for
// every blend.
#pragma once
#include <cstdint>

enum class PoseMode : int32_t {
    Stand = 0,
    Walk = 1,
    Run = 2,
    Swim = 3,
    Crouch = 4,
    Tumble = 6,
};

struct PoseProgram {
    PoseMode mode = PoseMode::Stand;  // the active program
    int step = 0;                     // 1..4 in the cycle; 0: the next update starts a blend at once
};
extern PoseProgram poseProgram;

// Advances the running blend by dt seconds; when it finishes (or the step is
// 0), starts the next blend of the active program. At most one blend
// finishes per call, however large dt is.
void updatePoseProgram(float dt);

// Selects the program. The running blend finishes first; the new program
// takes over at the next blend start. Values without a program of their own
// get the base pose alone, held like Stand.
void setPoseMode(PoseMode mode);

// Makes the next updatePoseProgram abandon the running blend and start a
// new one at once, from wherever the pose is now.
void restartPoseCycle();
