#include "gltf_accessor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace gltf_accessor {
namespace {

// The most bytes apart two elements of a buffer view may be.
constexpr size_t kMaxStride = 252;

std::string NameOf(int index) { return "accessors[" + std::to_string(index) + "]"; }

int ComponentsOf(int type) {
  switch (type) {
    case TINYGLTF_TYPE_SCALAR:
      return 1;
    case TINYGLTF_TYPE_VEC2:
      return 2;
    case TINYGLTF_TYPE_VEC3:
      return 3;
    case TINYGLTF_TYPE_VEC4:
      return 4;
    default:
      return 0;  // matrices and unknown types: not read by the importer
  }
}

size_t ComponentSize(int componentType) {
  switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_BYTE:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
      return 1;
    case TINYGLTF_COMPONENT_TYPE_SHORT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
      return 2;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
      return 4;
    default:
      return 0;
  }
}

template <typename T>
T Load(const unsigned char* bytes) {
  T value;
  std::memcpy(&value, bytes, sizeof(T));
  return value;
}

double ReadComponent(const unsigned char* bytes, int componentType, bool normalized) {
  switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_BYTE:
      return normalized ? std::max(Load<int8_t>(bytes) / 127.0, -1.0) : Load<int8_t>(bytes);
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
      return normalized ? Load<uint8_t>(bytes) / 255.0 : Load<uint8_t>(bytes);
    case TINYGLTF_COMPONENT_TYPE_SHORT:
      return normalized ? std::max(Load<int16_t>(bytes) / 32767.0, -1.0) : Load<int16_t>(bytes);
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
      return normalized ? Load<uint16_t>(bytes) / 65535.0 : Load<uint16_t>(bytes);
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
      return Load<uint32_t>(bytes);
    default:
      return Load<float>(bytes);
  }
}

// `count` elements of `elementSize` bytes inside one buffer view, `stride` bytes apart.
struct Span {
  const unsigned char* data = nullptr;
  size_t stride = 0;
};

// Checks that the elements lie inside the view and the view inside its buffer. Sparse parts are
// tightly packed (`strided` false).
bool ViewSpan(const tinygltf::Model& model, int viewIndex, size_t byteOffset, size_t count,
              size_t elementSize, bool strided, Span& span, std::string& error) {
  if (viewIndex < 0 || static_cast<size_t>(viewIndex) >= model.bufferViews.size()) {
    error = "buffer view " + std::to_string(viewIndex) + " does not exist";
    return false;
  }
  const tinygltf::BufferView& view = model.bufferViews[viewIndex];
  const std::string viewName = "bufferViews[" + std::to_string(viewIndex) + "]";
  if (view.buffer < 0 || static_cast<size_t>(view.buffer) >= model.buffers.size()) {
    error = viewName + ": buffer " + std::to_string(view.buffer) + " does not exist";
    return false;
  }
  const size_t bufferSize = model.buffers[view.buffer].data.size();
  if (view.byteOffset > bufferSize || view.byteLength > bufferSize - view.byteOffset) {
    error = viewName + ": bytes " + std::to_string(view.byteOffset) + " + " +
            std::to_string(view.byteLength) + " run past the end of its buffer of " +
            std::to_string(bufferSize) + " bytes";
    return false;
  }
  size_t stride = elementSize;
  if (strided && view.byteStride != 0) {
    if (view.byteStride < elementSize || view.byteStride > kMaxStride) {
      error = viewName + ": byte stride " + std::to_string(view.byteStride) + " does not fit elements of " +
              std::to_string(elementSize) + " bytes";
      return false;
    }
    stride = view.byteStride;
  }
  // count <= kMaxElements and stride <= kMaxStride: the product cannot overflow.
  const size_t last = (count - 1) * stride + elementSize;
  if (byteOffset > view.byteLength || last > view.byteLength - byteOffset) {
    error = std::to_string(count) + " elements of " + std::to_string(elementSize) + " bytes from byte " +
            std::to_string(byteOffset) + " run past the end of " + viewName + " (" +
            std::to_string(view.byteLength) + " bytes)";
    return false;
  }
  span.data = model.buffers[view.buffer].data.data() + view.byteOffset + byteOffset;
  span.stride = stride;
  return true;
}

// Replaces the elements a sparse accessor names by its values.
bool ApplySparse(const tinygltf::Model& model, const tinygltf::Accessor& accessor, int components,
                 std::vector<double>& values, std::string& error) {
  const auto& sparse = accessor.sparse;
  if (sparse.count <= 0 || static_cast<size_t>(sparse.count) > accessor.count) {
    error = "sparse count " + std::to_string(sparse.count) + " is not between 1 and the accessor's count";
    return false;
  }
  const size_t indexSize = ComponentSize(sparse.indices.componentType);
  if (indexSize == 0 || sparse.indices.componentType == TINYGLTF_COMPONENT_TYPE_FLOAT ||
      sparse.indices.componentType == TINYGLTF_COMPONENT_TYPE_BYTE ||
      sparse.indices.componentType == TINYGLTF_COMPONENT_TYPE_SHORT) {
    error = "sparse indices must be unsigned integers";
    return false;
  }
  if (sparse.indices.byteOffset < 0 || sparse.values.byteOffset < 0) {
    error = "sparse byte offsets must not be negative";
    return false;
  }
  const size_t count = static_cast<size_t>(sparse.count);
  const size_t elementSize = ComponentSize(accessor.componentType) * components;
  Span indices;
  Span substitutes;
  if (!ViewSpan(model, sparse.indices.bufferView, sparse.indices.byteOffset, count, indexSize, false, indices,
                error) ||
      !ViewSpan(model, sparse.values.bufferView, sparse.values.byteOffset, count, elementSize, false,
                substitutes, error)) {
    error = "sparse " + error;
    return false;
  }
  const size_t componentSize = ComponentSize(accessor.componentType);
  for (size_t i = 0; i < count; ++i) {
    const double target = ReadComponent(indices.data + i * indexSize, sparse.indices.componentType, false);
    if (target >= static_cast<double>(accessor.count)) {
      error = "sparse index " + std::to_string(static_cast<uint64_t>(target)) + " (entry " +
              std::to_string(i) + ") is outside its " + std::to_string(accessor.count) + " elements";
      return false;
    }
    const size_t element = static_cast<size_t>(target);
    for (int c = 0; c < components; ++c)
      values[element * components + c] = ReadComponent(substitutes.data + i * elementSize + c * componentSize,
                                                       accessor.componentType, accessor.normalized);
  }
  return true;
}

// Every component of every element, checked; `components` per element.
bool ReadComponents(const tinygltf::Model& model, int index, int components, std::vector<double>& values,
                    std::string& error) {
  if (index < 0 || static_cast<size_t>(index) >= model.accessors.size()) {
    error = NameOf(index) + ": there is no such accessor";
    return false;
  }
  const tinygltf::Accessor& accessor = model.accessors[index];
  const size_t componentSize = ComponentSize(accessor.componentType);
  std::string problem;
  if (ComponentsOf(accessor.type) != components) {
    problem = "has the wrong type: " + std::to_string(components) + " components per element expected";
  } else if (componentSize == 0) {
    problem = "unknown component type " + std::to_string(accessor.componentType);
  } else if (accessor.count == 0) {
    problem = "count is 0";
  } else if (accessor.count > kMaxElements) {
    problem = "count " + std::to_string(accessor.count) + " is more than the " +
              std::to_string(kMaxElements) + " elements the importer takes";
  } else if (accessor.bufferView < 0 && !accessor.sparse.isSparse) {
    problem = "has neither a buffer view nor sparse values";
  }
  const size_t elementSize = componentSize * components;
  Span span;
  // The range is checked before anything is allocated: the values then take at most a few times
  // the bytes the buffer holds.
  if (problem.empty() && accessor.bufferView >= 0)
    ViewSpan(model, accessor.bufferView, accessor.byteOffset, accessor.count, elementSize, true, span,
             problem);
  if (problem.empty()) {
    values.assign(accessor.count * components, 0.0);
    if (accessor.bufferView >= 0)
      for (size_t i = 0; i < accessor.count; ++i)
        for (int c = 0; c < components; ++c)
          values[i * components + c] = ReadComponent(span.data + i * span.stride + c * componentSize,
                                                     accessor.componentType, accessor.normalized);
    if (accessor.sparse.isSparse) ApplySparse(model, accessor, components, values, problem);
  }
  if (problem.empty()) return true;
  error = NameOf(index) + ": " + problem;
  values.clear();
  return false;
}

}  // namespace

bool ReadFloats(const tinygltf::Model& model, int index, int components, std::vector<float>& values,
                std::string& error) {
  std::vector<double> raw;
  if (!ReadComponents(model, index, components, raw, error)) return false;
  values.resize(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    if (!std::isfinite(raw[i]) || std::abs(raw[i]) > 3.0e38) {
      char value[32];
      std::snprintf(value, sizeof(value), "%.9g", raw[i]);
      error = NameOf(index) + ": element " + std::to_string(i / components) + " is " + value +
              (std::isfinite(raw[i]) ? ", beyond the largest value taken here, 3e+38 (single precision, with "
                                       "room for the unit change)"
                                     : ", not a finite number");
      values.clear();
      return false;
    }
    values[i] = static_cast<float>(raw[i]);
  }
  return true;
}

bool ReadIndices(const tinygltf::Model& model, int index, std::vector<uint32_t>& values, std::string& error) {
  if (index >= 0 && static_cast<size_t>(index) < model.accessors.size()) {
    const int type = model.accessors[index].componentType;
    if (type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE && type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
        type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT) {
      error = NameOf(index) + ": indices must be unsigned integers";
      return false;
    }
  }
  std::vector<double> raw;
  if (!ReadComponents(model, index, 1, raw, error)) return false;
  values.assign(raw.begin(), raw.end());
  return true;
}

}  // namespace gltf_accessor
