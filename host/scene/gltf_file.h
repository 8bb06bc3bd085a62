#pragma once

#include "tiny_gltf_config.h"

#include <string>
#include <vector>

// Reads a .gltf or .glb file into tinygltf's model, treating it as hostile: the file must be a
// regular, non-empty file under a size limit; a binary file's chunk lengths are checked against
// the file before anything is allocated; buffers and images load only from files inside the
// scene's folder (no absolute paths, no "..", no shell expansion) or from data URIs; images are
// decoded from memory with a pixel limit. False with `error` naming the file and the problem.
namespace gltf_file {

// Larger files (and external buffers or images) are refused.
inline constexpr size_t kMaxFileBytes = size_t(1) << 30;

bool Load(const std::string& path, tinygltf::Model& model, std::string& warnings, std::string& error);

// The same for a file's bytes already in memory: `name` for messages, external files only from
// `folder` (canonical).
bool LoadBytes(const std::string& name, const std::vector<unsigned char>& bytes, const std::string& folder,
               tinygltf::Model& model, std::string& warnings, std::string& error);

// Whether the name ends in .gltf or .glb (any case).
bool HasGltfSuffix(const std::string& path);

}  // namespace gltf_file
