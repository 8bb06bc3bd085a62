#include "gltf_animation.h"

#include "gltf_accessor.h"
#include "gltf_convention.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace gltf_animation {
namespace {

// Later keys would overflow the frame numbers a document's time range is counted in.
constexpr double kMaxKeySeconds = 86400.0;

int Width(Path path) { return path == Path::Rotation ? 4 : 3; }

// Hermite interpolation between key k and k + 1 at fraction s over `span` seconds.
double Hermite(const Channel& channel, size_t k, int component, double s, double span) {
  const int width = Width(channel.path);
  const auto at = [&](size_t key, int part) { return channel.values[(key * 3 + part) * width + component]; };
  const double s2 = s * s;
  const double s3 = s2 * s;
  return (2 * s3 - 3 * s2 + 1) * at(k, 1) + (s3 - 2 * s2 + s) * span * at(k, 2) +
         (-2 * s3 + 3 * s2) * at(k + 1, 1) + (s3 - s2) * span * at(k + 1, 0);
}

void Normalise(std::array<double, 4>& q) {
  const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
  if (!(length > 1e-12) || !std::isfinite(length)) {
    q = {0.0, 0.0, 0.0, 1.0};
    return;
  }
  for (double& c : q) c /= length;
}

// Spherical interpolation along the shorter arc.
std::array<double, 4> Slerp(const float* a, const float* b, double s) {
  double dot = 0.0;
  for (int i = 0; i < 4; ++i) dot += double(a[i]) * b[i];
  const double sign = dot < 0.0 ? -1.0 : 1.0;
  dot = std::min(std::abs(dot), 1.0);
  double wa = 1.0 - s;
  double wb = s;
  if (dot < 0.9995) {
    const double angle = std::acos(dot);
    wa = std::sin((1.0 - s) * angle) / std::sin(angle);
    wb = std::sin(s * angle) / std::sin(angle);
  }
  std::array<double, 4> q;
  for (int i = 0; i < 4; ++i) q[i] = wa * a[i] + wb * sign * b[i];
  Normalise(q);
  return q;
}

void Store(Path path, const double* value, Pose& pose) {
  switch (path) {
    case Path::Translation:
      std::copy(value, value + 3, pose.translation.begin());
      break;
    case Path::Scale:
      std::copy(value, value + 3, pose.scale.begin());
      break;
    case Path::Rotation:
      std::copy(value, value + 4, pose.rotation.begin());
      Normalise(pose.rotation);
      break;
  }
}

bool AllFinite(const Pose& pose) {
  const auto finite = [](double v) { return std::isfinite(v); };
  return std::all_of(pose.translation.begin(), pose.translation.end(), finite) &&
         std::all_of(pose.scale.begin(), pose.scale.end(), finite) &&
         std::all_of(pose.rotation.begin(), pose.rotation.end(), finite);
}

bool ParseInterpolation(const std::string& name, Interpolation& interpolation) {
  if (name.empty() || name == "LINEAR") {
    interpolation = Interpolation::Linear;
  } else if (name == "STEP") {
    interpolation = Interpolation::Step;
  } else if (name == "CUBICSPLINE") {
    interpolation = Interpolation::CubicSpline;
  } else {
    return false;
  }
  return true;
}

// The sampler's keys and values, checked against each other.
bool ReadSampler(const tinygltf::Model& model, const tinygltf::AnimationSampler& sampler, Channel& channel,
                 std::string& error) {
  if (!ParseInterpolation(sampler.interpolation, channel.interpolation)) {
    error = "interpolation \"" + sampler.interpolation + "\" is not LINEAR, STEP or CUBICSPLINE";
    return false;
  }
  const int width = Width(channel.path);
  if (!gltf_accessor::ReadFloats(model, sampler.input, 1, channel.times, error) ||
      !gltf_accessor::ReadFloats(model, sampler.output, width, channel.values, error))
    return false;
  if (!std::is_sorted(channel.times.begin(), channel.times.end()) || channel.times.front() < 0.0f) {
    error = "key times must not decrease and start at 0 or later";
    return false;
  }
  if (channel.times.back() > kMaxKeySeconds) {
    char text[160];
    std::snprintf(text, sizeof(text),
                  "key time %g lies beyond %g seconds (a day), more than any render reaches",
                  double(channel.times.back()), kMaxKeySeconds);
    error = text;
    return false;
  }
  const size_t perKey = channel.interpolation == Interpolation::CubicSpline ? 3 : 1;
  if (channel.values.size() != channel.times.size() * perKey * width) {
    error = "has " + std::to_string(channel.values.size() / width) + " output values for " +
            std::to_string(channel.times.size()) + " key times";
    return false;
  }
  return true;
}

bool ParsePath(const std::string& name, Path& path) {
  if (name == "translation") {
    path = Path::Translation;
  } else if (name == "rotation") {
    path = Path::Rotation;
  } else if (name == "scale") {
    path = Path::Scale;
  } else {
    return false;
  }
  return true;
}

}  // namespace

void Sample(const Channel& channel, double seconds, Pose& pose) {
  const int width = Width(channel.path);
  const size_t keys = channel.times.size();
  const size_t stride = channel.interpolation == Interpolation::CubicSpline ? 3 : 1;
  const size_t valueOffset = channel.interpolation == Interpolation::CubicSpline ? 1 : 0;
  const auto key = [&](size_t k) { return &channel.values[(k * stride + valueOffset) * width]; };
  double value[4];
  const size_t next =
      std::upper_bound(channel.times.begin(), channel.times.end(), float(seconds)) - channel.times.begin();
  if (next == 0 || next == keys) {
    const float* held = key(next == 0 ? 0 : keys - 1);
    std::copy(held, held + width, value);
    Store(channel.path, value, pose);
    return;
  }
  const size_t k = next - 1;
  const double span = double(channel.times[next]) - channel.times[k];
  const double s = span > 0.0 ? (seconds - channel.times[k]) / span : 0.0;
  if (channel.interpolation == Interpolation::Step) {
    std::copy(key(k), key(k) + width, value);
  } else if (channel.interpolation == Interpolation::CubicSpline) {
    for (int c = 0; c < width; ++c) value[c] = Hermite(channel, k, c, s, span);
  } else if (channel.path == Path::Rotation) {
    const std::array<double, 4> q = Slerp(key(k), key(next), s);
    std::copy(q.begin(), q.end(), value);
  } else {
    for (int c = 0; c < width; ++c) value[c] = key(k)[c] * (1.0 - s) + key(next)[c] * s;
  }
  Store(channel.path, value, pose);
}

bool NodeAnimation::Read(const tinygltf::Model& model, const std::vector<BaseObject*>& objects,
                         const std::vector<Pose>& poses, std::string& warnings, std::string& error) {
  for (size_t a = 0; a < model.animations.size(); ++a) {
    const tinygltf::Animation& animation = model.animations[a];
    for (size_t c = 0; c < animation.channels.size(); ++c) {
      const tinygltf::AnimationChannel& source = animation.channels[c];
      const std::string name = "animations[" + std::to_string(a) + "].channels[" + std::to_string(c) + "]";
      Channel channel;
      if (!ParsePath(source.target_path, channel.path)) {
        warnings += name + ": \"" + source.target_path + "\" animation is not supported; ignored\n";
        continue;
      }
      const int node = source.target_node;
      if (node < 0 || static_cast<size_t>(node) >= objects.size() || !objects[node]) {
        error = name + ": target node " + std::to_string(node) + " is not part of the scene";
        return false;
      }
      if (source.sampler < 0 || static_cast<size_t>(source.sampler) >= animation.samplers.size()) {
        error = name + ": sampler " + std::to_string(source.sampler) + " does not exist";
        return false;
      }
      std::string problem;
      if (!ReadSampler(model, animation.samplers[source.sampler], channel, problem)) {
        error = "animations[" + std::to_string(a) + "].samplers[" + std::to_string(source.sampler) +
                "]: " + problem;
        return false;
      }
      endSeconds_ = std::max(endSeconds_, double(channel.times.back()));
      AnimatedNode& target = nodes_[node];
      target.object = BaseLink(objects[node]);
      target.rest = poses[node];
      target.channels.push_back(std::move(channel));
    }
  }
  return true;
}

void NodeAnimation::Apply(BaseDocument&, const BaseTime& time) {
  for (auto& [index, node] : nodes_) {
    auto* object = static_cast<BaseObject*>(node.object.GetLink());
    if (!object) continue;
    Pose pose = node.rest;
    for (const Channel& channel : node.channels) Sample(channel, time.Get(), pose);
    // Extreme spline tangents can overflow: such a frame keeps the rest pose.
    if (!AllFinite(pose)) pose = node.rest;
    object->SetMl(gltf_convention::NodeMatrix(pose.translation, pose.rotation, pose.scale));
  }
}

}  // namespace gltf_animation
