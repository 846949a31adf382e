// Drawing one frame of the scene; see render.h.
#include "app/render.h"

#include <cstring>

#include "app/globals.h"
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

void setCamera(float yaw)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(30.0, 1.0, 100.0, 2000.0);
    glRotatef(40.0f - 160.0f * tornadoVisibility, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 600.0f * tornadoVisibility - 175.0f, -200.0f - 100.0f * tornadoVisibility);
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
        const float f = flashIntensity;
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
    glListBase(1000);
    glClear(GL_DEPTH_BUFFER_BIT);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
}

}  // namespace

bool createGLContext()
{
    return glContextCreate();
}

void renderFrame(const FrameView& view, void (*beforeSwap)())
{
    const bool flash = flashIntensity > flashThreshold;
    // The reduced flash keeps the scene's light, brightens the colours by a
    // third of the full flash's step, fading with it, and draws the bolt a
    // third as bright: every part of the picture brightens at most a third
    // as much as in the full flash.
    const bool flashLight = flash && !flashReduced;
    const float shade = !flash ? 0.8f : flashReduced ? 0.8f + 0.2f / 3.0f * flashIntensity : 1.0f;
    const float boltAlpha = flashReduced ? flashIntensity / 3.0f : flashIntensity;

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

    glColor4f(shade, shade, shade, 1.0f);
    roomMesh.Draw();
    glDisable(GL_LIGHTING);

    landMesh.SetPosition(0.0f, landLevel, 0.0f);
    landMesh.Draw();

    characterMesh.SetScale(characterScale);
    characterMesh.SetPosition(characterPosition.x, characterPosition.y, characterPosition.z);
    characterMesh.Draw();

    // Four translucent sheets of water, lowest first.
    glColor4f(shade, shade, shade, 0.4f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (int layer = 3; layer >= 0; layer--) {
        waterMesh.SetPosition(0.0f, seaLevel - static_cast<float>(layer), 0.0f);
        waterMesh.Draw();
    }

    // Glowing things add their light and don't hide each other.
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    if (tornadoVisibility > tornadoThreshold) {
        glColor4f(0.5f, 0.5f, 0.5f, tornadoVisibility);
        tornadoMesh.SetRotation(0.0f, -sceneYaw, 0.0f);
        tornadoMesh.Draw();
    }
    if (flash) {
        glColor4f(1.0f, 1.0f, 1.0f, boltAlpha);
        lightningMesh.Draw();
    }
    fireDraw(view.fireFirst, view.fireEnd);
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
