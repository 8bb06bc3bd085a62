#pragma once

#include <string>
#include <string_view>

// Buffers embedded as base64 data URIs, whose declared byteLength must match what the URI holds.
// The parser only says it "failed to decode" and quotes the whole URI (megabytes on one line); this
// says which buffer disagrees with its length and by how much, in a line of bounded length.
namespace gltf_data_uri {

// `json` is the file's JSON text. False with `error` naming the first buffer whose data URI is not
// base64 or holds another number of bytes than its byteLength.
bool CheckBuffers(std::string_view json, std::string& error);

// `message` cut to a line a terminal shows: long data URIs in it shortened, the whole at most a few
// hundred characters.
std::string Bounded(std::string message);

}  // namespace gltf_data_uri
