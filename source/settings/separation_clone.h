#pragma once

#include "c4d.h"
#include "geometry/eye_rig.h"

// The separation-map shader is never sampled itself: a render, and the viewport's one sample, each
// take a private clone initialised for rendering, so that neither disturbs the other.

// A clone of the tag's linked separation-map shader, initialised for rendering in `doc`; null when
// the tag links none or initialisation fails (logged). Free it with FreeSeparationClone.
BaseShader* CloneSeparationMap(const BaseContainer& tag, BaseDocument* doc);

// Releases the clone's render data and the clone; null afterwards.
void FreeSeparationClone(BaseShader*& clone);

// Reads the separation map's red channel through an initialised clone.
class ShaderSeparationMap final : public orvex::ScalarMapSampler {
 public:
  explicit ShaderSeparationMap(BaseShader* shader) : shader_(shader) {}
  Float SampleRed(const Vector& p) const override;

 private:
  BaseShader* shader_;
};
