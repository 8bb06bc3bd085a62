#include "gltf_data_uri.h"

#include <nlohmann/json.hpp>

#include <optional>

namespace gltf_data_uri {
namespace {

using Json = nlohmann::json;

constexpr size_t kMaxMessage = 400;
constexpr size_t kShownUri = 48;

bool IsBase64(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

// The bytes a base64 payload decodes to; none when it is not base64 (padded to whole quads).
std::optional<size_t> DecodedBytes(std::string_view payload) {
  size_t padding = 0;
  while (padding < 2 && padding < payload.size() && payload[payload.size() - 1 - padding] == '=') ++padding;
  if (payload.size() % 4 != 0) return std::nullopt;
  for (size_t i = 0; i < payload.size() - padding; ++i)
    if (!IsBase64(payload[i])) return std::nullopt;
  return payload.size() / 4 * 3 - padding;
}

}  // namespace

bool CheckBuffers(std::string_view json, std::string& error) {
  const Json root = Json::parse(json, nullptr, false);
  if (!root.is_object() || !root.contains("buffers") || !root["buffers"].is_array()) return true;
  const Json& buffers = root["buffers"];
  for (size_t i = 0; i < buffers.size(); ++i) {
    const Json& buffer = buffers[i];
    if (!buffer.is_object() || !buffer.contains("uri") || !buffer["uri"].is_string()) continue;
    const std::string& uri = buffer["uri"].get_ref<const std::string&>();
    const size_t comma = uri.find(',');
    if (!uri.starts_with("data:") || comma == std::string::npos) continue;
    const std::string name = "buffers[" + std::to_string(i) + "]";
    if (uri.substr(0, comma).find(";base64") == std::string::npos) {
      error = name + ": its data URI is not base64";
      return false;
    }
    const std::optional<size_t> bytes = DecodedBytes(std::string_view(uri).substr(comma + 1));
    if (!bytes) {
      error = name + ": its data URI holds no valid base64 (" + std::to_string(uri.size() - comma - 1) +
              " characters)";
      return false;
    }
    const Json& length = buffer.value("byteLength", Json());
    if (length.is_number_unsigned() && length.get<std::uint64_t>() != *bytes) {
      error = name + ": byteLength " + length.dump() + " disagrees with its data URI, which holds " +
              std::to_string(*bytes) + " bytes";
      return false;
    }
  }
  return true;
}

std::string Bounded(std::string message) {
  for (size_t at = message.find("data:"); at != std::string::npos; at = message.find("data:", at + 1)) {
    size_t end = at;
    while (end < message.size() && message[end] != ' ' && message[end] != '"' && message[end] != '\'') ++end;
    if (end - at > kShownUri)
      message.replace(at + kShownUri, end - at - kShownUri,
                      "... (" + std::to_string(end - at) + " characters)");
  }
  if (message.size() > kMaxMessage) message = message.substr(0, kMaxMessage) + "...";
  return message;
}

}  // namespace gltf_data_uri
