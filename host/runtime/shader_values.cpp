#include "shader_values.h"

#include "shader_params.h"

#include <span>

namespace shader_values {
namespace {

struct Parameter {
  Int32 id;
  Int32 type;  // DA_...
  const char* what;
};

constexpr Parameter kImage[] = {{IMAGESHADER_FILE, DA_FILENAME, "the image file"}};
constexpr Parameter kGradient[] = {{GRADIENTSHADER_KNOTS, DA_CONTAINER, "the knots"},
                                   {GRADIENTSHADER_AXIS, DA_LONG, "the axis (0 vertical, 1 horizontal)"}};
constexpr Parameter kKnot[] = {{GRADIENTKNOT_POSITION, DA_REAL, "the position"},
                               {GRADIENTKNOT_COLOR, DA_VECTOR, "the colour"}};

std::string Takes(std::span<const Parameter> parameters) {
  std::string list;
  for (const Parameter& parameter : parameters)
    list += (list.empty() ? "" : ", ") + std::to_string(parameter.id) + " (" + parameter.what + ")";
  return list;
}

// Every value of `data` one of `parameters`, of its type (a file name may be given as a string).
bool CheckAll(const BaseContainer& data, std::span<const Parameter> parameters, const std::string& owner,
              std::string& error) {
  for (Int32 i = 0; i < data.GetCount(); ++i) {
    const Int32 id = data.GetIndexId(i);
    const Int32 type = data.GetData(id).GetType();
    const Parameter* found = nullptr;
    for (const Parameter& parameter : parameters) found = parameter.id == id ? &parameter : found;
    if (!found) {
      error = owner + " has no parameter " + std::to_string(id) + "; it takes " + Takes(parameters);
      return false;
    }
    if (type != found->type && !(found->type == DA_FILENAME && type == DA_STRING)) {
      error = owner + "'s " + std::to_string(id) + " is " + found->what + ", of another type";
      return false;
    }
  }
  return true;
}

bool CheckGradient(const BaseContainer& data, std::string& error) {
  if (!CheckAll(data, kGradient, "a gradient shader", error)) return false;
  const Int32 axis = data.GetInt32(GRADIENTSHADER_AXIS);
  if (axis != kGradientAxisVertical && axis != kGradientAxisHorizontal) {
    error = "a gradient shader's axis is 0 (vertical) or 1 (horizontal), not " + std::to_string(axis);
    return false;
  }
  const BaseContainer knots = data.GetContainer(GRADIENTSHADER_KNOTS);
  for (Int32 i = 0; i < knots.GetCount(); ++i) {
    const Int32 id = knots.GetIndexId(i);
    const std::string owner = "a gradient shader's knot " + std::to_string(id);
    if (knots.GetData(id).GetType() != DA_CONTAINER) {
      error = owner + " is a container of its position and colour";
      return false;
    }
    if (!CheckAll(knots.GetContainer(id), kKnot, owner, error)) return false;
  }
  return true;
}

}  // namespace

bool Check(Int32 type, const BaseContainer& data, std::string& error) {
  if (type == Xgradient) return CheckGradient(data, error);
  if (type != Xbitmap) return true;  // no values of its own to check
  if (!CheckAll(data, kImage, "an image shader", error)) return false;
  if (!data.GetFilename(IMAGESHADER_FILE).Content()) {
    error = "an image shader needs its image file (" + std::to_string(IMAGESHADER_FILE) + ")";
    return false;
  }
  return true;
}

}  // namespace shader_values
