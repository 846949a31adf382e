// The CPU's culling of triangles for the browser's OpenGL layer; see cull.h.
#include "platform/web/cull.h"

#include <cmath>
#include <cstring>

namespace {

// In pixels: how far the renderer may put a vertex from where the CPU
// computes it (snapped to a sixteenth of a pixel at worst, and computed in
// floating point through two matrices rather than one), with room to spare.
const double margin = 0.125;
// Likewise, as a share of w, for the planes of the view volume.
const double planeSlack = 1e-4;

struct Corner {
    double clip[4];
    double window[2];  // when w > 0
    unsigned outside;  // a bit for each plane of the view volume the corner lies beyond
};

void cornerOf(const CullView& view, const float* position, Corner* c)
{
    const float* m = view.clip;
    for (int r = 0; r < 4; r++)
        c->clip[r] = static_cast<double>(m[r]) * position[0] + static_cast<double>(m[4 + r]) * position[1] +
                     static_cast<double>(m[8 + r]) * position[2] + m[12 + r];
    const double w = c->clip[3];
    const double slack = std::fabs(w) * planeSlack;
    c->outside = 0;
    for (int axis = 0; axis < 3; axis++) {
        if (c->clip[axis] < -w - slack)
            c->outside |= 1u << (2 * axis);
        if (c->clip[axis] > w + slack)
            c->outside |= 2u << (2 * axis);
    }
    if (w > 0) {
        c->window[0] = view.viewport[0] + (c->clip[0] / w + 1.0) * 0.5 * view.viewport[2];
        c->window[1] = view.viewport[1] + (c->clip[1] / w + 1.0) * 0.5 * view.viewport[3];
    }
}

// The pixels of the viewport whose centres lie in [low, high] along one axis,
// widened by the margin (`first` the viewport's first pixel, `size` its
// pixels): from lowest to highest, none when highest < lowest.
void centresIn(double low, double high, double first, double size, double* lowest, double* highest)
{
    *lowest = std::fmax(std::ceil(low - margin - 0.5), first);
    *highest = std::fmin(std::floor(high + margin - 0.5), first + size - 1);
}

// Whether the pixel centre (x, y) lies within the margin of the triangle
// abc: on the inner side of each edge, or less than the margin outside it.
// Both turns are tried, since a sliver's may be lost in the rounding.
bool nearCentre(const Corner& a, const Corner& b, const Corner& c, double x, double y)
{
    const Corner* corners[3] = {&a, &b, &c};
    bool inside[2] = {true, true};
    for (int k = 0; k < 3; k++) {
        const double* from = corners[k]->window;
        const double* to = corners[(k + 1) % 3]->window;
        const double dx = to[0] - from[0], dy = to[1] - from[1];
        const double side = dx * (y - from[1]) - dy * (x - from[0]);
        const double reach = margin * std::hypot(dx, dy);
        inside[0] = inside[0] && side >= -reach;
        inside[1] = inside[1] && side <= reach;
    }
    return inside[0] || inside[1];
}

bool mayDraw(const CullView& view, const Corner& a, const Corner& b, const Corner& c)
{
    if (a.outside & b.outside & c.outside)
        return false;
    if (a.clip[3] <= 0 || b.clip[3] <= 0 || c.clip[3] <= 0)
        return true;
    const double xs[2] = {std::fmin(a.window[0], std::fmin(b.window[0], c.window[0])),
                          std::fmax(a.window[0], std::fmax(b.window[0], c.window[0]))};
    const double ys[2] = {std::fmin(a.window[1], std::fmin(b.window[1], c.window[1])),
                          std::fmax(a.window[1], std::fmax(b.window[1], c.window[1]))};
    double column[2], row[2];
    centresIn(xs[0], xs[1], view.viewport[0], view.viewport[2], &column[0], &column[1]);
    centresIn(ys[0], ys[1], view.viewport[1], view.viewport[3], &row[0], &row[1]);
    if (column[1] < column[0] || row[1] < row[0])
        return false;
    // Twice the signed area; moving each corner by up to the margin changes
    // it by at most about twice the margin times the edges.
    const double ex = b.window[0] - a.window[0], ey = b.window[1] - a.window[1];
    const double fx = c.window[0] - a.window[0], fy = c.window[1] - a.window[1];
    const double area = ex * fy - fx * ey;
    const double turn =
        4 * margin * (std::fabs(ex) + std::fabs(ey) + std::fabs(fx) + std::fabs(fy)) + 16 * margin * margin;
    if (view.backFaces && area < -turn)
        return false;
    // A small triangle's few centres, one by one.
    if ((column[1] - column[0] + 1) * (row[1] - row[0] + 1) > 16)
        return true;
    for (double y = row[0]; y <= row[1]; y++)
        for (double x = column[0]; x <= column[1]; x++)
            if (nearCentre(a, b, c, x + 0.5, y + 0.5))
                return true;
    return false;
}

}  // namespace

CullView cullViewOf(const float* projection, const float* modelView, const int* viewport, bool backFaces)
{
    CullView view;
    std::memset(&view, 0, sizeof view);
    for (int c = 0; c < 4; c++)
        for (int r = 0; r < 4; r++) {
            float sum = 0;
            for (int k = 0; k < 4; k++)
                sum += projection[4 * k + r] * modelView[4 * c + k];
            view.clip[4 * c + r] = sum;
        }
    for (int i = 0; i < 4; i++)
        view.viewport[i] = static_cast<float>(viewport[i]);
    view.backFaces = backFaces;
    return view;
}

bool cullSameView(const CullView& a, const CullView& b)
{
    return std::memcmp(a.clip, b.clip, sizeof a.clip) == 0 &&
           std::memcmp(a.viewport, b.viewport, sizeof a.viewport) == 0 && a.backFaces == b.backFaces;
}

size_t cullTriangles(const CullView& view, const unsigned char* vertices, size_t vertexCount, size_t stride,
                     const uint16_t* indices, size_t count, std::vector<uint16_t>* out)
{
    static thread_local std::vector<Corner> corners;
    corners.resize(vertexCount);
    for (size_t v = 0; v < vertexCount; v++) {
        float position[3];
        std::memcpy(position, vertices + v * stride, sizeof position);
        cornerOf(view, position, &corners[v]);
    }
    const size_t before = out->size();
    for (size_t i = 0; i + 2 < count; i += 3) {
        const uint16_t* t = indices + i;
        if (t[0] < vertexCount && t[1] < vertexCount && t[2] < vertexCount &&
            !mayDraw(view, corners[t[0]], corners[t[1]], corners[t[2]]))
            continue;
        out->insert(out->end(), t, t + 3);
    }
    return out->size() - before;
}
