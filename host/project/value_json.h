#pragma once

#include "c4d.h"
#include "runtime/description_record.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// A node's parameter container as JSON with every value's type, and back. Keys are the parameter
// names the node's description gives ("PREFIX_FISHEYE_FOV"), or the decimal ID of a value the
// description does not name; each value is {"type": ..., "value": ...} with the types bool, int,
// float, vector, matrix, string, filename, time, container and shader (a linked shader with its own
// container).
namespace value_json {

using Json = nlohmann::ordered_json;

// A shader the node links, saved with its type and container; made again when the values are applied.
struct LinkedShader {
  Int32 id = 0;    // the parameter that links it
  Int32 type = 0;  // the shader's plugin type
  BaseContainer data;
  bool operator==(const LinkedShader& other) const = default;
};

// What a project holds of one node: its container values and the shaders it links.
struct NodeValues {
  BaseContainer values;
  std::vector<LinkedShader> shaders;
  bool operator==(const NodeValues& other) const = default;
};

// The node's container and linked shaders. Empty links are left out.
NodeValues Capture(const BaseList2D& node);

// Writes `values` named by `record`; false with `error` naming the key when a value cannot be
// written so that it reads back (a number that is not finite, a link to something not a shader).
bool ToJson(const NodeValues& values, const DescriptionRecord& record, Json& out, std::string& error);

// Reads values written by ToJson. Refuses, naming `where` and the key: a key that is neither a name
// of `record` nor a decimal ID (one `record` describes, unless `record` is empty, as for a shader's
// container), a type other than the parameter's, a shader type the host cannot make, a malformed
// value, and a value outside the parameter's limits or choices.
bool FromJson(const Json& in, const DescriptionRecord& record, const std::string& where, NodeValues& out,
              std::string& error);

// Writes the values into the node's container (exactly, without the node's reactions to edits) and
// makes and links its shaders. False with `error` when a shader cannot be made.
bool Apply(const NodeValues& values, BaseList2D& node, std::string& error);

}  // namespace value_json
