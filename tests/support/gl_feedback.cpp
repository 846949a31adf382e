// Feedback-mode capture; see gl_feedback.h.
#include "tests/support/gl_feedback.h"

#include "platform/gl.h"
#include "tests/support/gl_test_context.h"

std::vector<FeedbackPolygon> captureFeedback(const std::function<void()>& draw, float extent)
{
    static std::vector<GLfloat> buffer(1 << 20);
    glViewport(0, 0, TEST_GL_WIDTH, TEST_GL_HEIGHT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-extent, extent, -extent, extent, -extent, extent);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint count = glRenderMode(GL_RENDER);

    std::vector<FeedbackPolygon> polygons;
    GLint i = 0;
    while (i < count) {
        GLint token = static_cast<GLint>(buffer[i++]);
        if (token == GL_POLYGON_TOKEN) {
            GLint corners = static_cast<GLint>(buffer[i++]);
            FeedbackPolygon polygon;
            for (GLint k = 0; k < corners; k++, i += 7)
                polygon.vertices.push_back(FeedbackVertex{buffer[i], buffer[i + 1], buffer[i + 2],
                                                          buffer[i + 3], buffer[i + 4],
                                                          buffer[i + 5], buffer[i + 6]});
            polygons.push_back(polygon);
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN ||
                   token == GL_DRAW_PIXEL_TOKEN || token == GL_COPY_PIXEL_TOKEN) {
            i += 7;
        } else {  // GL_LINE_TOKEN, GL_LINE_RESET_TOKEN
            i += 14;
        }
    }
    return polygons;
}

float feedbackUnitsPerPixel(float extent)
{
    return 2.0f * extent / static_cast<float>(TEST_GL_WIDTH);
}
