#include "xmp_packet.h"

#include <map>
#include <regex>

namespace {

std::string Escaped(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string Unescaped(std::string text) {
  static const std::pair<const char*, const char*> kEntities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, character] : kEntities)
    for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
      text.replace(at, std::string(entity).size(), character);
  return text;
}

// Prefix as the packet binds it -> the vocabulary's own prefix, for the known namespaces.
std::map<std::string, std::string> KnownPrefixes(const std::string& packet) {
  std::map<std::string, std::string> prefixes;
  static const std::regex binding(R"re(xmlns:([A-Za-z_][\w.-]*)\s*=\s*["']([^"']*)["'])re");
  for (auto it = std::sregex_iterator(packet.begin(), packet.end(), binding); it != std::sregex_iterator();
       ++it)
    for (const MetadataVocabulary& vocabulary : MetadataVocabularies())
      if ((*it)[2] == vocabulary.uri) prefixes[(*it)[1]] = vocabulary.prefix;
  return prefixes;
}

void ReadMatches(const std::string& packet, const std::regex& pattern,
                 const std::map<std::string, std::string>& prefixes, ImageMetadata& metadata) {
  for (auto it = std::sregex_iterator(packet.begin(), packet.end(), pattern); it != std::sregex_iterator();
       ++it) {
    const auto known = prefixes.find((*it)[1]);
    if (known != prefixes.end() && !metadata.Find(known->second, (*it)[2]))
      metadata.SetText(known->second, (*it)[2], Unescaped((*it)[3]));
  }
}

}  // namespace

std::string XmpPacket(const ImageMetadata& metadata) {
  std::string packet =
      "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
      "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
      " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
      "  <rdf:Description rdf:about=\"\"";
  for (const MetadataVocabulary& vocabulary : MetadataVocabularies())
    packet += std::string("\n    xmlns:") + vocabulary.prefix + "=\"" + vocabulary.uri + "\"";
  for (const MetadataProperty& property : metadata.properties)
    packet += "\n    " + property.vocabulary + ":" + property.name + "=\"" + Escaped(property.value) + "\"";
  packet +=
      "/>\n"
      " </rdf:RDF>\n"
      "</x:xmpmeta>\n"
      "<?xpacket end=\"w\"?>";
  return packet;
}

ImageMetadata ReadXmpPacket(const std::string& packet) {
  ImageMetadata metadata;
  const std::map<std::string, std::string> prefixes = KnownPrefixes(packet);
  static const std::regex attribute(R"re(([A-Za-z_][\w.-]*):([A-Za-z_][\w.-]*)\s*=\s*"([^"]*)")re");
  static const std::regex element(R"re(<([A-Za-z_][\w.-]*):([A-Za-z_][\w.-]*)>([^<]*)</\1:\2>)re");
  ReadMatches(packet, attribute, prefixes, metadata);
  ReadMatches(packet, element, prefixes, metadata);
  return metadata;
}
