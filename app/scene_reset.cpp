// The reset of the scene's state; see scene_reset.h. Each piece of state is
// a struct whose start values are written once, at its members.
#include "app/scene_reset.h"

#include "app/attract.h"
#include "app/controls.h"
#include "app/main_loop.h"
#include "effects/fire.h"
#include "effects/lightning.h"
#include "effects/tornado.h"
#include "scene/director.h"
#include "scene/pose_blend.h"
#include "scene/pose_program.h"
#include "scene/random.h"
#include "scene/scene_state.h"

void resetSceneState()
{
    scene = SceneState{};
    director = Director{};
    poseProgram = PoseProgram{};
    poseBlend = PoseBlend{};
    fire = Fire{};
    lightning = Lightning{};
    tornado = Tornado{};
    controls = ElementControls{};
    frameRate = FrameRate{};
    randomGenerator = RandomGenerator{};
    attract = Attract{};
}
