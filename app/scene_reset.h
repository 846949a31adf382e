// The one reset that puts the scene back to its start-up state, for tests
// and tools that run several scenes in one process.
#pragma once

// Puts every piece of the scene's state back to the value it has when the
// program starts: the character, the levels, the scene's turn and times,
// the director, the poses, the fire, the flash, the tornado, the element
// controls, the frame-rate counter and the random generator. What start-up
// loads or builds once stays as it is: the meshes and their textures, the
// sounds, the height map, the fire's colours and the tornado's particles.
void resetSceneState();
