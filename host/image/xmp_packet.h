#pragma once

#include "image_metadata.h"

#include <string>

// An XMP packet (UTF-8, with its xpacket wrapper) holding the properties as attributes of one
// rdf:Description, the form photo-sphere viewers read; values XML-escaped.
std::string XmpPacket(const ImageMetadata& metadata);

// The properties of the known vocabularies in a packet, as attributes or as simple elements of an
// rdf:Description, by their prefixes as the packet binds them to the vocabularies' namespaces. A
// reader for what files say, not a validating XML parser: anything else is passed over.
ImageMetadata ReadXmpPacket(const std::string& packet);
