// OpenGL 1.1 and GLU for the null backend: every entry point the program
// calls, doing nothing. With no context there is nothing to draw into, and a
// replay built on this backend links no OpenGL library at all. Texture names
// are still handed out, so the loaders' bookkeeping stays as it is.
#include "platform/gl.h"

namespace {
GLuint lastTextureName = 0;
}

void glBegin(GLenum) {}
void glEnd() {}
void glVertex3f(GLfloat, GLfloat, GLfloat) {}
void glNormal3f(GLfloat, GLfloat, GLfloat) {}
void glTexCoord2f(GLfloat, GLfloat) {}
void glColor3f(GLfloat, GLfloat, GLfloat) {}
void glColor4f(GLfloat, GLfloat, GLfloat, GLfloat) {}

void glMatrixMode(GLenum) {}
void glLoadIdentity() {}
void glRotatef(GLfloat, GLfloat, GLfloat, GLfloat) {}
void glTranslatef(GLfloat, GLfloat, GLfloat) {}
void glScalef(GLfloat, GLfloat, GLfloat) {}
void gluPerspective(GLdouble, GLdouble, GLdouble, GLdouble) {}

void glLightfv(GLenum, GLenum, const GLfloat*) {}
void glLightf(GLenum, GLenum, GLfloat) {}
void glLightModelfv(GLenum, const GLfloat*) {}

void glEnable(GLenum) {}
void glDisable(GLenum) {}
void glBlendFunc(GLenum, GLenum) {}
void glDepthMask(GLboolean) {}
void glClear(GLbitfield) {}
void glClearColor(GLclampf, GLclampf, GLclampf, GLclampf) {}
void glViewport(GLint, GLint, GLsizei, GLsizei) {}
void glFinish() {}

void glGenTextures(GLsizei count, GLuint* names)
{
    for (GLsizei i = 0; i < count; i++)
        names[i] = ++lastTextureName;
}
void glBindTexture(GLenum, GLuint) {}
void glTexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const GLvoid*) {}
GLint gluBuild2DMipmaps(GLenum, GLint, GLsizei, GLsizei, GLenum, GLenum, const void*)
{
    return 0;
}
void glTexParameterf(GLenum, GLenum, GLfloat) {}
void glTexEnvf(GLenum, GLenum, GLfloat) {}
void glPixelStorei(GLenum, GLint) {}
void glGetIntegerv(GLenum, GLint* values)
{
    values[0] = 0;
}

void glReadBuffer(GLenum) {}
void glReadPixels(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, GLvoid*) {}
void glRasterPos2f(GLfloat, GLfloat) {}
void glListBase(GLuint) {}
void glCallLists(GLsizei, GLenum, const GLvoid*) {}
