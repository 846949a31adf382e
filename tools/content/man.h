// The character's skeleton and the layout of his texture, shared by the
// model (man.cpp) and its picture (man_texture.cpp).
//
// He stands about 1.0 model unit tall (10 world units at his normal scale),
// soles at y = 0, facing +z, arms held straight out to the sides.
#pragma once
#include <string>

#include "tools/content/content.h"

// The 16 joints, in control-point order: root first, every parent before
// its children. Shoulder 4 and hip 13 are on the -x side, shoulder 7 and
// hip 10 on the +x side.
enum ManJoint {
    JOINT_PELVIS = 0,
    JOINT_CHEST = 1,
    JOINT_NECK = 2,
    JOINT_HEAD = 3,
    JOINT_SHOULDER_A = 4,  // -x
    JOINT_ELBOW_A = 5,
    JOINT_HAND_A = 6,
    JOINT_SHOULDER_B = 7,  // +x
    JOINT_ELBOW_B = 8,
    JOINT_HAND_B = 9,
    JOINT_HIP_B = 10,  // -x, under shoulder 4
    JOINT_KNEE_B = 11,
    JOINT_ANKLE_B = 12,
    JOINT_HIP_A = 13,  // +x, under shoulder 7
    JOINT_KNEE_A = 14,
    JOINT_ANKLE_A = 15,
    MAN_JOINT_COUNT = 16
};

// Rest positions of the pivots and their parents.
inline constexpr ControlPoint manSkeleton[MAN_JOINT_COUNT] = {
    {0.0f, 0.52f, 0.0f, -1},     // 0 pelvis, the root
    {0.0f, 0.60f, 0.0f, 0},      // 1 chest: the spine bends at the waist
    {0.0f, 0.86f, 0.0f, 1},      // 2 neck
    {0.0f, 0.90f, 0.0f, 2},      // 3 head
    {-0.15f, 0.83f, 0.0f, 1},    // 4 shoulder, -x
    {-0.31f, 0.83f, 0.0f, 4},    // 5 elbow
    {-0.46f, 0.83f, 0.0f, 5},    // 6 wrist
    {0.15f, 0.83f, 0.0f, 1},     // 7 shoulder, +x
    {0.31f, 0.83f, 0.0f, 7},     // 8 elbow
    {0.46f, 0.83f, 0.0f, 8},     // 9 wrist
    {-0.08f, 0.50f, 0.0f, 0},    // 10 hip, -x (under shoulder 4)
    {-0.08f, 0.28f, 0.0f, 10},   // 11 knee
    {-0.08f, 0.045f, 0.0f, 11},  // 12 ankle
    {0.08f, 0.50f, 0.0f, 0},     // 13 hip, +x (under shoulder 7)
    {0.08f, 0.28f, 0.0f, 13},    // 14 knee
    {0.08f, 0.045f, 0.0f, 14},   // 15 ankle
};

// A rectangle of the texture in pixels, (0, 0) at the picture's top left.
struct AtlasRegion {
    int x, y, w, h;
};

enum { MAN_TEXTURE_SIZE = 256 };

// Around each body part u runs once round the part and v along it. For the
// upright parts u = 0 is the back and u = 0.5 the front; for the arms and
// feet u = 0 is the top.
inline constexpr AtlasRegion manHead{0, 0, 128, 64};       // v from the crown down to the chin
inline constexpr AtlasRegion manShirt{128, 0, 128, 64};    // the torso, v from the neck down
inline constexpr AtlasRegion manSleeve{128, 64, 128, 32};  // upper arms, v from the shoulder out
inline constexpr AtlasRegion manSkin{0, 64, 128, 32};      // neck, forearms and hands
inline constexpr AtlasRegion manTrousers{0, 96, 128, 64};  // pelvis, thighs and shins, v downward
inline constexpr AtlasRegion manShoes{128, 96, 128, 32};   // feet, v from the heel to the toe

// MAN.BMP; man_texture.cpp.
Image paintManTexture();
Model buildManModel();
