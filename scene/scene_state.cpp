// The scene's meshes and shared state; see scene_state.h.
#include "scene/scene_state.h"

SceneMeshes meshes;
SceneState scene;
