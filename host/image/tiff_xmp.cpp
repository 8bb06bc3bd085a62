#include "xmp_containers.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace xmp_embed {
namespace {

constexpr uint16_t kXmpTag = 700;
constexpr uint16_t kTypeByte = 1;
constexpr size_t kEntrySize = 12;

// Reads and writes the file's numbers in its own byte order.
struct ByteOrder {
  bool little = true;

  uint32_t Read(const Bytes& bytes, size_t at, int size) const {
    uint32_t value = 0;
    for (int i = 0; i < size; ++i) value |= uint32_t{bytes[at + i]} << 8 * (little ? i : size - 1 - i);
    return value;
  }
  void Write(Bytes& bytes, size_t at, uint32_t value, int size) const {
    for (int i = 0; i < size; ++i)
      bytes[at + i] = static_cast<unsigned char>(value >> 8 * (little ? i : size - 1 - i));
  }
};

// The first image's directory: where it is and its entries as they are stored.
struct Directory {
  ByteOrder order;
  size_t offset = 0;
  std::vector<std::array<unsigned char, kEntrySize>> entries;
  uint32_t next = 0;
};

bool ReadDirectory(const Bytes& bytes, Directory& directory) {
  directory.order.little = bytes[0] == 'I';
  directory.offset = directory.order.Read(bytes, 4, 4);
  if (directory.offset + 2 > bytes.size()) return false;
  const size_t count = directory.order.Read(bytes, directory.offset, 2);
  const size_t first = directory.offset + 2;
  if (first + count * kEntrySize + 4 > bytes.size()) return false;
  for (size_t i = 0; i < count; ++i) {
    std::array<unsigned char, kEntrySize> entry;
    std::copy_n(bytes.begin() + first + i * kEntrySize, kEntrySize, entry.begin());
    directory.entries.push_back(entry);
  }
  directory.next = directory.order.Read(bytes, first + count * kEntrySize, 4);
  return true;
}

uint16_t TagOf(const Directory& directory, const std::array<unsigned char, kEntrySize>& entry) {
  Bytes raw(entry.begin(), entry.end());
  return static_cast<uint16_t>(directory.order.Read(raw, 0, 2));
}

void PadToEven(Bytes& bytes) {
  if (bytes.size() % 2) bytes.push_back(0);
}

}  // namespace

bool IsTiff(const Bytes& bytes) {
  if (bytes.size() < 8) return false;
  const bool little = bytes[0] == 'I' && bytes[1] == 'I' && bytes[2] == 42 && bytes[3] == 0;
  const bool big = bytes[0] == 'M' && bytes[1] == 'M' && bytes[2] == 0 && bytes[3] == 42;
  return little || big;
}

// The packet goes after the image data with a copy of the first directory that lists it; the
// header then points at the copy. Nothing already in the file moves, so every offset stays valid.
bool InsertTiff(Bytes& bytes, const std::string& packet, std::string& error) {
  Directory directory;
  if (!ReadDirectory(bytes, directory)) {
    error = "the TIFF file's first directory is damaged";
    return false;
  }
  if (bytes.size() + packet.size() + (directory.entries.size() + 1) * kEntrySize + 16 > UINT32_MAX) {
    error = "the TIFF file is too large for its XMP packet";
    return false;
  }
  std::erase_if(directory.entries, [&](const auto& entry) { return TagOf(directory, entry) == kXmpTag; });
  PadToEven(bytes);
  const size_t packetOffset = bytes.size();
  bytes.insert(bytes.end(), packet.begin(), packet.end());
  PadToEven(bytes);

  Bytes xmpEntry(kEntrySize, 0);
  directory.order.Write(xmpEntry, 0, kXmpTag, 2);
  directory.order.Write(xmpEntry, 2, kTypeByte, 2);
  directory.order.Write(xmpEntry, 4, static_cast<uint32_t>(packet.size()), 4);
  directory.order.Write(xmpEntry, 8, static_cast<uint32_t>(packetOffset), 4);
  std::array<unsigned char, kEntrySize> entry;
  std::copy(xmpEntry.begin(), xmpEntry.end(), entry.begin());
  directory.entries.push_back(entry);
  std::stable_sort(directory.entries.begin(), directory.entries.end(),
                   [&](const auto& a, const auto& b) { return TagOf(directory, a) < TagOf(directory, b); });

  const size_t copyOffset = bytes.size();
  bytes.resize(copyOffset + 2 + directory.entries.size() * kEntrySize + 4);
  directory.order.Write(bytes, copyOffset, static_cast<uint32_t>(directory.entries.size()), 2);
  for (size_t i = 0; i < directory.entries.size(); ++i)
    std::copy(directory.entries[i].begin(), directory.entries[i].end(),
              bytes.begin() + copyOffset + 2 + i * kEntrySize);
  directory.order.Write(bytes, copyOffset + 2 + directory.entries.size() * kEntrySize, directory.next, 4);
  directory.order.Write(bytes, 4, static_cast<uint32_t>(copyOffset), 4);
  return true;
}

std::string FindTiff(const Bytes& bytes) {
  Directory directory;
  if (!ReadDirectory(bytes, directory)) return {};
  for (const auto& stored : directory.entries) {
    if (TagOf(directory, stored) != kXmpTag) continue;
    const Bytes entry(stored.begin(), stored.end());
    const size_t count = directory.order.Read(entry, 4, 4);
    if (count <= 4) return std::string(stored.begin() + 8, stored.begin() + 8 + count);
    const size_t offset = directory.order.Read(entry, 8, 4);
    if (offset > bytes.size() || count > bytes.size() - offset) return {};
    return std::string(bytes.begin() + offset, bytes.begin() + offset + count);
  }
  return {};
}

}  // namespace xmp_embed
