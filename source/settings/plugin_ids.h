#pragma once

#include "c4d.h"

// The module's registered IDs that more than one of its parts names.

constexpr Int32 ID_ORVEXTAG = 1035138;
constexpr Int32 ID_ORVEX360CAMVP = 1033675;

// The kinds of camera the create commands make: each is its command's ID, which the tag keeps as
// its camera kind.
enum : Int32 {
  kCameraKindFulldome = 1036701,
  kCameraKindFisheye = 1035136,
  kCameraKindPanorama = 1035137,
  kCameraKindCylindrical = 1036297,
  kCameraKindCubemap = 1036110,
  kCameraKindLittlePlanet = 1036687,
};
