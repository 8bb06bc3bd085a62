#pragma once

#include "runtime/document_animation.h"
#include "tiny_gltf_config.h"

#include <array>
#include <map>
#include <string>
#include <vector>

// glTF node animation: translation, rotation and scale channels with LINEAR, STEP or CUBICSPLINE
// samplers, sampled at the document's time whenever the scene is evaluated.
namespace gltf_animation {

// A node's translation, rotation (x, y, z, w) and scale, in glTF's own convention.
struct Pose {
  std::array<double, 3> translation{0.0, 0.0, 0.0};
  std::array<double, 4> rotation{0.0, 0.0, 0.0, 1.0};
  std::array<double, 3> scale{1.0, 1.0, 1.0};
};

enum class Path { Translation, Rotation, Scale };
enum class Interpolation { Linear, Step, CubicSpline };

struct Channel {
  Path path = Path::Translation;
  Interpolation interpolation = Interpolation::Linear;
  std::vector<float> times;   // non-decreasing
  std::vector<float> values;  // 3 or 4 per key; CUBICSPLINE: in-tangent, value, out-tangent per key
};

// The pose of one channel's value at `seconds` (before the first key: the first; after the last:
// the last).
void Sample(const Channel& channel, double seconds, Pose& pose);

// Reads every animation of the model for the nodes that became `objects` (indexed like the model's
// nodes; rest poses in `poses`). False with `error` naming the animation element.
class NodeAnimation : public DocumentAnimation {
 public:
  bool Read(const tinygltf::Model& model, const std::vector<BaseObject*>& objects,
            const std::vector<Pose>& poses, std::string& warnings, std::string& error);
  void Apply(BaseDocument& doc, const BaseTime& time) override;

  bool Empty() const { return nodes_.empty(); }
  double EndSeconds() const { return endSeconds_; }

 private:
  struct AnimatedNode {
    BaseLink object;
    Pose rest;
    std::vector<Channel> channels;
  };
  std::map<int, AnimatedNode> nodes_;
  double endSeconds_ = 0.0;
};

}  // namespace gltf_animation
