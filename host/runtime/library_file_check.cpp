#include "library_file_check.h"

#include "files/regular_file.h"

#include <elf.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

std::string Damaged(const std::string& path, const std::string& reason) {
  return "the module library " + path + " is damaged or no shared library: " + reason;
}

bool ReadAt(std::ifstream& file, std::uint64_t offset, void* target, size_t size) {
  file.seekg(static_cast<std::streamoff>(offset));
  file.read(static_cast<char*>(target), static_cast<std::streamsize>(size));
  return file.good();
}

bool Inside(std::uint64_t offset, std::uint64_t size, std::uint64_t fileSize) {
  return offset <= fileSize && size <= fileSize - offset;
}

}  // namespace

bool CheckLibraryFile(const std::string& path, std::string& error) {
  if (std::string reason; !regular_file::Check(path, reason)) {
    error = "the module library " + path + " " + reason;
    return false;
  }
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) {
    error = "cannot read the module library " + path;
    return false;
  }
  const std::uint64_t fileSize = static_cast<std::uint64_t>(file.tellg());
  Elf64_Ehdr header{};
  if (fileSize < sizeof(header) || !ReadAt(file, 0, &header, sizeof(header)) ||
      std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0) {
    error = Damaged(path, "no ELF header");
    return false;
  }
  if (header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_phentsize != sizeof(Elf64_Phdr)) {
    error = Damaged(path, "not a 64-bit ELF file");
    return false;
  }
  if (!Inside(header.e_phoff, std::uint64_t(header.e_phnum) * sizeof(Elf64_Phdr), fileSize) ||
      !Inside(header.e_shoff, std::uint64_t(header.e_shnum) * header.e_shentsize, fileSize)) {
    error =
        Damaged(path, "its headers lie past the end of the file (" + std::to_string(fileSize) + " bytes)");
    return false;
  }
  std::vector<Elf64_Phdr> segments(header.e_phnum);
  if (!segments.empty() &&
      !ReadAt(file, header.e_phoff, segments.data(), segments.size() * sizeof(Elf64_Phdr))) {
    error = Damaged(path, "its program headers cannot be read");
    return false;
  }
  for (const Elf64_Phdr& segment : segments) {
    if (segment.p_type == PT_LOAD && !Inside(segment.p_offset, segment.p_filesz, fileSize)) {
      error = Damaged(path, "it is cut short (" + std::to_string(fileSize) + " bytes)");
      return false;
    }
  }
  return true;
}
