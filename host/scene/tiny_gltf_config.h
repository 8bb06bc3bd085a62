#pragma once

// tinygltf as this project builds it: images are decoded by the importer (the host's image library), never by
// tinygltf's bundled decoder, and nothing is written.
#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#include <tiny_gltf.h>
