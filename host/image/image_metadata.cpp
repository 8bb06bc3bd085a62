#include "image_metadata.h"

#include <cstdio>

void ImageMetadata::SetText(const std::string& vocabulary, const std::string& name,
                            const std::string& value) {
  properties.push_back({vocabulary, name, value, MetadataProperty::Kind::Text});
}

void ImageMetadata::SetInteger(const std::string& vocabulary, const std::string& name, long long value) {
  properties.push_back({vocabulary, name, std::to_string(value), MetadataProperty::Kind::Integer});
}

void ImageMetadata::SetReal(const std::string& vocabulary, const std::string& name, double value) {
  char text[64];
  std::snprintf(text, sizeof(text), "%.6f", value);
  std::string written = text;
  written.erase(written.find_last_not_of('0') + 1);
  if (written.back() == '.') written.pop_back();
  if (written == "-0") written = "0";
  properties.push_back({vocabulary, name, written, MetadataProperty::Kind::Real});
}

const MetadataProperty* ImageMetadata::Find(const std::string& vocabulary, const std::string& name) const {
  for (const MetadataProperty& property : properties)
    if (property.vocabulary == vocabulary && property.name == name) return &property;
  return nullptr;
}

const std::vector<MetadataVocabulary>& MetadataVocabularies() {
  static const std::vector<MetadataVocabulary> vocabularies = {
      {"GPano", "http://ns.google.com/photos/1.0/panorama/"},
      {"xmp", "http://ns.adobe.com/xap/1.0/"},
      {"orvex360", "http://ns.orvex360cam.org/output/1.0/"},
  };
  return vocabularies;
}
