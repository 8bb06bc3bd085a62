#pragma once

#include "c4d.h"

// What a surface does with light at one hit, in glTF's metallic-roughness model: a diffuse lobe
// under a microfacet specular one (GGX with Smith's height-correlated visibility), mixed by Schlick's
// Fresnel term.
struct ShadingPoint {
  Vector normal;    // shading normal, unit, on the viewer's side
  Vector toViewer;  // unit
  Vector diffuse;   // the diffuse lobe's albedo: the base colour, none of it for a metal
  Vector f0;  // specular reflectance at normal incidence: 0.04 for a dielectric, the base colour for a metal
  Float alpha = 1.0;  // the microfacets' roughness: glTF's roughness squared
  Vector emission;
  Float occlusion = 1.0;  // how much of the surroundings' light the occlusion map lets reach it
};

// The smallest microfacet roughness rendered: a perfect mirror's lobe would be a single direction.
inline constexpr Float kMinAlpha = 1e-3;

// f(l, v) times the cosine at the light: the light of unit radiance from unit direction `toLight`
// sends this much back to the viewer per steradian; nothing from below the surface.
Vector EvaluateBrdf(const ShadingPoint& point, const Vector& toLight);

// A direction chosen in proportion to the lobes (the specular one with SpecularChance), from random
// numbers in [0, 1), and the density BrdfDensity gives it.
Vector SampleBrdf(const ShadingPoint& point, Float choice, Float a, Float b, Float& density);
Float BrdfDensity(const ShadingPoint& point, const Vector& toLight);

// How often SampleBrdf takes the specular lobe: in proportion to the light each lobe reflects
// towards the viewer.
Float SpecularChance(const ShadingPoint& point);

// Schlick's Fresnel term at cosine `cosine` for reflectance f0.
Vector Fresnel(const Vector& f0, Float cosine);
