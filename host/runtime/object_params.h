#pragma once

#include "c4d.h"

// Parameters of the stand-in host's built-in objects, read by the renderer. A missing value reads
// as the default given here; sizes are scene units, colours linear RGB.
enum : Int32 {
  // Every geometric object.
  OBJECT_COLOR = 900,         // Vector: base colour; default (0.8, 0.8, 0.8)
  OBJECT_GRID_SPACING = 901,  // Float: spacing of grid lines drawn on the surface; 0 (default) draws none
  OBJECT_GRID_COLOR = 902,    // Vector: colour of the grid lines; default (0.1, 0.1, 0.1)

  PRIM_CUBE_LEN = 1100,      // Vector: edge lengths of Ocube; default (200, 200, 200)
  PRIM_SPHERE_RAD = 1110,    // Float: radius of Osphere; default 100
  PRIM_PLANE_WIDTH = 1120,   // Float: extent of Oplane along X; default 400 (the plane lies in XZ, facing +Y)
  PRIM_PLANE_HEIGHT = 1121,  // Float: extent of Oplane along Z; default 400
  PRIM_CYLINDER_RADIUS = 1130,  // Float: radius of Ocylinder; default 50 (its axis is Y, centred)
  PRIM_CYLINDER_HEIGHT = 1131,  // Float: height of Ocylinder; default 200

  // Olight: a distant sun shining along the light's own +Z axis, casting hard shadows.
  LIGHT_COLOR = 1200,       // Vector: default (1, 1, 1)
  LIGHT_BRIGHTNESS = 1201,  // Float: irradiance on a surface facing the sun; default 3
  // A point or spot light (LIGHT_TYPE 1 or 2) shines from the light's position instead; its
  // brightness is the irradiance one scene unit away, falling off with the square of the distance
  // and ending smoothly at LIGHT_RANGE. A spot shines along its +Z axis, fully inside
  // LIGHT_SPOT_INNER, fading out smoothly to LIGHT_SPOT_OUTER (half angles in radians).
  LIGHT_TYPE = 1202,        // Int32: 0 sun (default), 1 point, 2 spot
  LIGHT_SPOT_INNER = 1203,  // Float: default 0
  LIGHT_SPOT_OUTER = 1204,  // Float: default pi / 4
  LIGHT_RANGE = 1205,       // Float: scene units; 0 (default): no limit
};

// Camera object parameters the renderer reads (a pinhole camera looking along its +Z axis).
enum : Int32 {
  CAMERAOBJECT_FOCUS = 500,     // Float: focal length in millimetres; default 36
  CAMERAOBJECT_APERTURE = 501,  // Float: film width in millimetres; default 36
};
