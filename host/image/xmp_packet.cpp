#include "xmp_packet.h"

#include <cctype>
#include <functional>
#include <map>
#include <string_view>

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

// A hand-written scanner rather than std::regex: packets come from any file, and libstdc++'s regex
// recurses once per character matched, so a long value would overflow the stack.
bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '-';
}

// The XML name starting at `at` (empty when none); `at` moves past it.
std::string_view ReadName(std::string_view text, size_t& at) {
  if (at >= text.size() || !IsNameStart(text[at])) return {};
  const size_t start = at;
  while (at < text.size() && IsNameChar(text[at])) ++at;
  return text.substr(start, at - start);
}

void SkipSpace(std::string_view text, size_t& at) {
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
}

// `prefix:name` at `at`, with both parts non-empty.
bool ReadQualifiedName(std::string_view text, size_t& at, std::string_view& prefix, std::string_view& name) {
  prefix = ReadName(text, at);
  if (prefix.empty() || at >= text.size() || text[at] != ':') return false;
  ++at;
  name = ReadName(text, at);
  return !name.empty();
}

// `= "value"` (or single quotes when `singleQuotes`) at `at`.
bool ReadAssignedValue(std::string_view text, size_t& at, bool singleQuotes, std::string_view& value) {
  SkipSpace(text, at);
  if (at >= text.size() || text[at] != '=') return false;
  ++at;
  SkipSpace(text, at);
  if (at >= text.size() || !(text[at] == '"' || (singleQuotes && text[at] == '\''))) return false;
  const char quote = text[at++];
  const size_t end = text.find(quote, at);
  if (end == std::string_view::npos) return false;
  value = text.substr(at, end - at);
  at = end + 1;
  return true;
}

// Calls found(prefix, name, value) for every `prefix:name = "value"` attribute and every
// `<prefix:name>text</prefix:name>` element of the packet, in order.
template <typename Found>
void ScanProperties(std::string_view packet, bool singleQuotes, Found&& found) {
  for (size_t at = 0; at < packet.size();) {
    if (packet[at] != '<' && at > 0 && IsNameChar(packet[at - 1])) {
      ++at;
      continue;
    }
    size_t cursor = at + (packet[at] == '<' ? 1 : 0);
    std::string_view prefix, name, value;
    if (!ReadQualifiedName(packet, cursor, prefix, name)) {
      ++at;
      continue;
    }
    if (packet[at] == '<') {
      const std::string close = "</" + std::string(prefix) + ":" + std::string(name) + ">";
      const size_t textEnd = packet.find('<', cursor + 1);
      if (cursor < packet.size() && packet[cursor] == '>' && textEnd != std::string_view::npos &&
          packet.compare(textEnd, close.size(), close) == 0) {
        found(prefix, name, packet.substr(cursor + 1, textEnd - cursor - 1));
        at = textEnd + close.size();
        continue;
      }
    } else if (ReadAssignedValue(packet, cursor, singleQuotes, value)) {
      found(prefix, name, value);
      at = cursor;
      continue;
    }
    ++at;
  }
}

// Prefix as the packet binds it -> the vocabulary's own prefix, for the known namespaces.
std::map<std::string, std::string, std::less<>> KnownPrefixes(std::string_view packet) {
  std::map<std::string, std::string, std::less<>> prefixes;
  ScanProperties(packet, true, [&](std::string_view prefix, std::string_view name, std::string_view uri) {
    if (prefix != "xmlns") return;
    for (const MetadataVocabulary& vocabulary : MetadataVocabularies())
      if (uri == vocabulary.uri) prefixes[std::string(name)] = vocabulary.prefix;
  });
  return prefixes;
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
  const auto prefixes = KnownPrefixes(packet);
  ScanProperties(packet, false, [&](std::string_view prefix, std::string_view name, std::string_view value) {
    const auto known = prefixes.find(prefix);
    if (known != prefixes.end() && !metadata.Find(known->second, std::string(name)))
      metadata.SetText(known->second, std::string(name), Unescaped(std::string(value)));
  });
  return metadata;
}
