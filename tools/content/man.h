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
extern const ControlPoint manSkeleton[MAN_JOINT_COUNT];

// A rectangle of the texture in pixels, (0, 0) at the picture's top left.
struct AtlasRegion {
    int x, y, w, h;
};

enum { MAN_TEXTURE_SIZE = 256 };

// Around each body part u runs once round the part and v along it. For the
// upright parts u = 0 is the back and u = 0.5 the front; for the arms and
// feet u = 0 is the top.
extern const AtlasRegion manHead;      // v from the crown down to the chin
extern const AtlasRegion manShirt;     // the torso, v from the neck down
extern const AtlasRegion manSleeve;    // upper arms, v from the shoulder out
extern const AtlasRegion manSkin;      // neck, forearms and hands
extern const AtlasRegion manTrousers;  // pelvis, thighs and shins, v downward
extern const AtlasRegion manShoes;     // feet, v from the heel to the toe

// MAN.BMP; man_texture.cpp.
Image paintManTexture();
Model buildManModel();
