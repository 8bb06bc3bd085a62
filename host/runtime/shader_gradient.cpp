#include "shader_gradient.h"

#include "shader_params.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

class GradientProgram final : public ShaderProgram {
 public:
  GradientProgram(std::vector<GradientKnot> knots, Int32 axis) : knots_(std::move(knots)), axis_(axis) {}

  Vector Sample(const ChannelData& cd) const override {
    const Float t = axis_ == kGradientAxisHorizontal ? cd.p.x : cd.p.y;
    // Also where t is NaN: no comparison holds, so the first colour answers.
    if (!(t > knots_.front().position)) return knots_.front().color;
    if (!(t < knots_.back().position)) return knots_.back().color;
    const auto after =
        std::upper_bound(knots_.begin(), knots_.end(), t,
                         [](Float value, const GradientKnot& knot) { return value < knot.position; });
    const GradientKnot& right = *after;
    const GradientKnot& left = *(after - 1);
    const Float span = right.position - left.position;
    const Float weight = span > 0.0 ? (t - left.position) / span : 1.0;
    return left.color + (right.color - left.color) * weight;
  }

 private:
  std::vector<GradientKnot> knots_;  // sorted by position, never empty
  Int32 axis_;
};

std::vector<GradientKnot> ReadKnots(const BaseContainer& data) {
  const BaseContainer list = data.GetContainer(GRADIENTSHADER_KNOTS);
  std::vector<GradientKnot> knots;
  for (Int32 i = 0; i < list.GetCount(); ++i) {
    const BaseContainer knot = list.GetContainer(list.GetIndexId(i));
    const Float position = knot.GetFloat(GRADIENTKNOT_POSITION);
    // A knot without a place along the axis would break the ordering the lookup relies on.
    if (std::isfinite(position)) knots.push_back({position, knot.GetVector(GRADIENTKNOT_COLOR)});
  }
  if (knots.empty()) knots = {{0.0, Vector(0.0)}, {1.0, Vector(1.0)}};
  std::stable_sort(knots.begin(), knots.end(),
                   [](const GradientKnot& a, const GradientKnot& b) { return a.position < b.position; });
  return knots;
}

}  // namespace

void SetGradientKnots(BaseContainer& data, std::span<const GradientKnot> knots) {
  BaseContainer list;
  for (size_t i = 0; i < knots.size(); ++i) {
    BaseContainer knot;
    knot.SetFloat(GRADIENTKNOT_POSITION, knots[i].position);
    knot.SetVector(GRADIENTKNOT_COLOR, knots[i].color);
    list.SetContainer(static_cast<Int32>(i), knot);
  }
  data.SetContainer(GRADIENTSHADER_KNOTS, list);
}

std::unique_ptr<ShaderProgram> BuildGradientProgram(const BaseContainer& data) {
  return std::make_unique<GradientProgram>(ReadKnots(data), data.GetInt32(GRADIENTSHADER_AXIS));
}
