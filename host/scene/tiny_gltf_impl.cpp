// The one translation unit that holds tinygltf's implementation.
#define TINYGLTF_IMPLEMENTATION
#include "tiny_gltf_config.h"
