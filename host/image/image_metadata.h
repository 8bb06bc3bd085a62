#pragma once

#include <string>
#include <vector>

// What an output image says about itself beyond its pixels: properties in named vocabularies,
// written as XMP into JPEG, PNG and TIFF files and as header attributes ("GPano:...") into EXR.
struct MetadataProperty {
  enum class Kind { Text, Integer, Real };
  std::string vocabulary;  // the XMP prefix: "GPano", "xmp" or "orvex360"
  std::string name;
  std::string value;  // as written
  Kind kind = Kind::Text;
};

struct ImageMetadata {
  std::vector<MetadataProperty> properties;
  std::string exifDate;  // "YYYY:MM:DD HH:MM:SS" for the formats' own date fields; empty: none

  void SetText(const std::string& vocabulary, const std::string& name, const std::string& value);
  void SetInteger(const std::string& vocabulary, const std::string& name, long long value);
  // Up to six decimals, trailing zeros dropped ("180", "47.5").
  void SetReal(const std::string& vocabulary, const std::string& name, double value);
  // Null when absent.
  const MetadataProperty* Find(const std::string& vocabulary, const std::string& name) const;
};

// The vocabularies written and read, with their XMP namespaces: the one table for both directions.
struct MetadataVocabulary {
  const char* prefix;
  const char* uri;
};
const std::vector<MetadataVocabulary>& MetadataVocabularies();
