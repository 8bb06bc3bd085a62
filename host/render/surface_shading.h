#pragma once

#include "c4d.h"
#include "pbr_brdf.h"
#include "scene_accel.h"

// The shading point of a hit on a surface with a glTF material, seen along unit `direction`: base
// colour (factor, texture and vertex colour), metallic and roughness, emission, the normal map's
// normal and the occlusion map, every texture read over the footprint a cone of `spread` radians
// per scene unit of distance covers there. False for surfaces without a material.
bool DescribeSurface(const Hit& hit, const Vector& direction, Float spread, ShadingPoint& point);

// The coverage of a glTF surface at a point of a triangle: its alpha (factor, texture and vertex
// colour) as the material's alpha mode takes it: 1 for opaque, 0 or 1 by the cutoff for a mask, the
// alpha itself for a blend.
Float SurfaceCoverage(const Surface& surface, UInt32 triangle, Float u, Float v);
