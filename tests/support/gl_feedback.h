// Capturing what a draw call really sends through OpenGL: the polygons, in
// window coordinates with their colours, from the GL's feedback mode.
//
// The capture sets an orthographic projection of the cube from -extent to
// +extent on every axis over the test window, so that world geometry inside
// it comes through unclipped; it restores nothing else.
#pragma once
#include <functional>
#include <vector>

struct FeedbackVertex {
    float x, y, z;           // window coordinates
    float r, g, b, a;        // the vertex's colour
};

struct FeedbackPolygon {
    std::vector<FeedbackVertex> vertices;
};

std::vector<FeedbackPolygon> captureFeedback(const std::function<void()>& draw,
                                             float extent = 200.0f);

// World units per window pixel for captureFeedback with this extent.
float feedbackUnitsPerPixel(float extent = 200.0f);
