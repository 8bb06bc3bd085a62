#include "pbr_brdf.h"

#include "path_random.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr Float kPi = std::numbers::pi;

Float Luminance(const Vector& c) { return 0.2126 * c.x + 0.7152 * c.y + 0.0722 * c.z; }

// GGX's distribution of microfacet normals at cosine `nh` from the normal.
Float Distribution(Float alpha, Float nh) {
  const Float a2 = alpha * alpha;
  const Float d = nh * nh * (a2 - 1.0) + 1.0;
  return a2 / (kPi * d * d);
}

// Smith's height-correlated visibility term, the BRDF's 1 / (4 nl nv) included.
Float Visibility(Float alpha, Float nl, Float nv) {
  const Float a2 = alpha * alpha;
  const Float towardLight = nv * std::sqrt(nl * nl * (1.0 - a2) + a2);
  const Float towardViewer = nl * std::sqrt(nv * nv * (1.0 - a2) + a2);
  const Float sum = towardLight + towardViewer;
  return sum > 0.0 ? 0.5 / sum : 0.0;
}

// The viewer's cosine, kept above 0 where a normal map tilts the shading normal past the viewer.
Float ViewerCosine(const ShadingPoint& point) { return std::max(1e-4, Dot(point.normal, point.toViewer)); }

Float SpecularDensity(const ShadingPoint& point, const Vector& toLight) {
  const Vector half = (toLight + point.toViewer).GetNormalized();
  const Float nh = Dot(point.normal, half);
  const Float vh = Dot(point.toViewer, half);
  if (!(nh > 0.0) || !(vh > 0.0)) return 0.0;
  return Distribution(point.alpha, nh) * nh / (4.0 * vh);
}

}  // namespace

Vector Fresnel(const Vector& f0, Float cosine) {
  const Float m = std::clamp(1.0 - cosine, 0.0, 1.0);
  const Float m5 = m * m * m * m * m;
  return f0 + (Vector(1.0) - f0) * m5;
}

Vector EvaluateBrdf(const ShadingPoint& point, const Vector& toLight) {
  const Float nl = Dot(point.normal, toLight);
  if (!(nl > 0.0)) return Vector();
  const Float nv = ViewerCosine(point);
  const Vector half = (toLight + point.toViewer).GetNormalized();
  const Float nh = std::max(0.0, Dot(point.normal, half));
  const Vector fresnel = Fresnel(point.f0, std::max(0.0, Dot(point.toViewer, half)));
  const Vector diffuse = point.diffuse * (1.0 / kPi);
  const Vector specularPart = fresnel * (Distribution(point.alpha, nh) * Visibility(point.alpha, nl, nv));
  const Vector diffusePart(diffuse.x * (1.0 - fresnel.x), diffuse.y * (1.0 - fresnel.y),
                           diffuse.z * (1.0 - fresnel.z));
  return (diffusePart + specularPart) * nl;
}

Float SpecularChance(const ShadingPoint& point) {
  const Float specular = Luminance(Fresnel(point.f0, ViewerCosine(point)));
  const Float diffuse = Luminance(point.diffuse) * (1.0 - specular);
  if (!(specular + diffuse > 0.0)) return 0.5;
  return std::clamp(specular / (specular + diffuse), 0.05, 1.0);
}

Float BrdfDensity(const ShadingPoint& point, const Vector& toLight) {
  const Float nl = Dot(point.normal, toLight);
  const Float chance = SpecularChance(point);
  const Float diffuse = nl > 0.0 ? nl / kPi : 0.0;
  return chance * SpecularDensity(point, toLight) + (1.0 - chance) * diffuse;
}

Vector SampleBrdf(const ShadingPoint& point, Float choice, Float a, Float b, Float& density) {
  Vector direction;
  if (choice < SpecularChance(point)) {
    // A microfacet normal from GGX's distribution, and the mirror direction about it.
    const Float tan2 = point.alpha * point.alpha * a / std::max(1e-12, 1.0 - a);
    const Float cosTheta = 1.0 / std::sqrt(1.0 + tan2);
    const Float sinTheta = std::sqrt(std::max(0.0, 1.0 - cosTheta * cosTheta));
    const Float phi = 2.0 * kPi * b;
    Vector across;
    Vector along;
    AxesAcross(point.normal, across, along);
    const Vector half =
        across * (sinTheta * std::cos(phi)) + along * (sinTheta * std::sin(phi)) + point.normal * cosTheta;
    direction = half * (2.0 * Dot(point.toViewer, half)) - point.toViewer;
  } else {
    direction = CosineDirection(point.normal, a, b);
  }
  density = BrdfDensity(point, direction);
  return direction;
}
