// Drawing one frame of the scene; see render.h.
#include "app/render.h"

#include <cstring>

#include "effects/fire.h"
#include "effects/lightning.h"
#include "effects/tornado.h"
#include "effects/water.h"
#include "platform/gl.h"
#include "platform/glcontext.h"
#include "platform/window.h"
#include "scene/scene_state.h"

namespace {

const float flashThreshold = 0.01f;
const float tornadoThreshold = 0.05f;

// The world's own frame, which the room and the bolt are built in.
const MeshTransform inPlace;

void setCamera(float yaw)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(30.0, 1.0, 100.0, 2000.0);
    glRotatef(40.0f - 160.0f * tornado.visibility, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 600.0f * tornado.visibility - 175.0f, -200.0f - 100.0f * tornado.visibility);
    glRotatef(yaw, 0.0f, 1.0f, 0.0f);
}

// The light is set under whatever model-view matrix the previous frame's
// last draw left, so its position and direction go through that matrix.
void setLight(bool flash)
{
    const GLfloat ambient[4] = {0.9f, 0.9f, 0.9f, 0.8f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    if (flash) {
        const float f = lightning.flashIntensity;
        const GLfloat specular[4] = {0.9f * f, 0.9f * f, 1.0f, f};
        const GLfloat position[4] = {0.0f, 50.0f, 0.0f, 0.0f};
        const GLfloat direction[3] = {0.0f, -1.0f, 0.0f};
        glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
        glLightfv(GL_LIGHT0, GL_POSITION, position);
        glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, direction);
    } else {
        const GLfloat specular[4] = {0.9f, 0.9f, 0.9f, 0.6f};
        const GLfloat position[4] = {-220.0f, 200.0f, -220.0f, 0.9f};
        const GLfloat direction[3] = {0.3f, -0.6f, 0.3f};
        glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
        glLightfv(GL_LIGHT0, GL_POSITION, position);
        glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, direction);
    }
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 20.0f);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
}

void drawFrameRate(const char* text)
{
    glDisable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRasterPos2f(-0.85f, -0.9f);
    glListBase(glyphListBase);
    glClear(GL_DEPTH_BUFFER_BIT);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
}

// Glowing things add their light and don't hide each other: the tornado
// and the bolt when their time is, and the fire's puffs.
void drawGlowing(const FrameView& view, bool flash, float boltAlpha)
{
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    if (tornado.visibility > tornadoThreshold) {
        // Its quads lie in the mesh's x-y plane: turned back by the scene's
        // turn, they face the camera.
        MeshTransform facing;
        facing.rotation = Vec3{0.0f, -view.billboardYaw, 0.0f};
        glColor4f(0.5f, 0.5f, 0.5f, tornado.visibility);
        meshes.tornado.Draw(facing);
    }
    if (flash) {
        glColor4f(1.0f, 1.0f, 1.0f, boltAlpha);
        meshes.lightning.Draw(inPlace);
    }
    fireDraw(view.fireFirst, view.fireEnd, view.billboardYaw);
}

}  // namespace

bool createGLContext()
{
    return glContextCreate();
}

void renderFrame(const FrameView& view, void (*beforeSwap)())
{
    const bool flash = lightning.flashIntensity > flashThreshold;
    // The reduced flash keeps the scene's light, brightens the colours by a
    // third of the full flash's step, fading with it, and draws the bolt a
    // third as bright: every part of the picture brightens at most a third
    // as much as in the full flash.
    const bool flashLight = flash && !lightning.reducedFlash;
    const float shade = !flash ? 0.8f : lightning.reducedFlash ? 0.8f + 0.2f / 3.0f * lightning.flashIntensity : 1.0f;
    const float boltAlpha = lightning.reducedFlash ? lightning.flashIntensity / 3.0f : lightning.flashIntensity;

    // The picture fills the window, whatever its size now.
    int width = 0, height = 0;
    windowDrawableSize(&width, &height);
    if (width > 0 && height > 0)
        glViewport(0, 0, width, height);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);

    setCamera(view.cameraYaw);
    setLight(flashLight);

    // The land and the sea are moved by their levels.
    glColor4f(shade, shade, shade, 1.0f);
    meshes.room.Draw(inPlace);
    glDisable(GL_LIGHTING);

    MeshTransform land;
    land.position = Vec3{0.0f, scene.landLevel, 0.0f};
    meshes.land.Draw(land);

    MeshTransform character;
    character.position = scene.characterPosition;
    character.rotation = scene.characterRotation;
    character.scale = scene.characterScale;
    meshes.character.Draw(meshes.character.Grounded(character));

    // Four translucent sheets of water, lowest first.
    glColor4f(shade, shade, shade, 0.4f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (int layer = 3; layer >= 0; layer--) {
        MeshTransform sheet;
        sheet.position = Vec3{0.0f, scene.seaLevel - static_cast<float>(layer), 0.0f};
        meshes.water.Draw(sheet);
    }

    drawGlowing(view, flash, boltAlpha);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);

    if (view.showFrameRate)
        drawFrameRate(view.frameRateText);

    if (beforeSwap)
        beforeSwap();
    swapFrameBuffers();
}

void swapFrameBuffers()
{
    glContextSwapBuffers();
}

void releaseGLContext()
{
    glContextRelease();
}
