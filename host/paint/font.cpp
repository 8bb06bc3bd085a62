#include "paint/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace paint {

struct Font::Face {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~Face() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

namespace {

const char* FileNameOf(FontKind kind) {
  return kind == FontKind::Monospaced ? "DejaVuSansMono.ttf" : "DejaVuSans.ttf";
}

// The usual place first, then a search of the font folders (other distributions put DejaVu elsewhere).
std::string SearchFontFile(const char* name) {
  namespace fs = std::filesystem;
  const fs::path usual = fs::path("/usr/share/fonts/truetype/dejavu") / name;
  std::error_code error;
  if (fs::is_regular_file(usual, error)) return usual.string();
  for (const char* folder : {"/usr/share/fonts", "/usr/local/share/fonts"}) {
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error),
         end;
         !error && it != end; it.increment(error)) {
      if (it->path().filename() == name && it->is_regular_file(error)) return it->path().string();
    }
    error.clear();
  }
  return {};
}

// Next code point of UTF-8 text at `at`, advancing it; U+FFFD for a malformed sequence.
char32_t NextCodePoint(const std::string& text, size_t& at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at++);
  if (lead < 0x80) return lead;
  const int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : -1;
  if (extra < 0) return 0xFFFD;
  char32_t value = lead & (0x3F >> extra);
  for (int i = 0; i < extra; ++i) {
    if (at >= text.size() || (byte(at) & 0xC0) != 0x80) return 0xFFFD;
    value = (value << 6) | (byte(at++) & 0x3F);
  }
  const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
  if (value < smallest[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0xFFFD;
  return value;
}

Int32 Pixels26(FT_Pos value) { return static_cast<Int32>((value + 32) >> 6); }

}  // namespace

std::string FindFontFile(FontKind kind) {
  static const std::string proportional = SearchFontFile(FileNameOf(FontKind::Proportional));
  static const std::string monospaced = SearchFontFile(FileNameOf(FontKind::Monospaced));
  return kind == FontKind::Monospaced ? monospaced : proportional;
}

Font::Font() = default;
Font::~Font() = default;

bool Font::Load(const std::string& path, std::string& error) {
  auto face = std::make_unique<Face>();
  if (FT_Init_FreeType(&face->library) != 0) {
    error = "FreeType cannot start";
    return false;
  }
  if (path.empty() || FT_New_Face(face->library, path.c_str(), 0, &face->face) != 0) {
    error = "cannot read the font file \"" + path + "\"";
    return false;
  }
  face_ = std::move(face);
  SetSize(size_);
  return true;
}

bool Font::IsLoaded() const { return face_ != nullptr; }

void Font::SetSize(Float pixels) {
  size_ = std::isfinite(pixels) ? std::clamp(pixels, kMinSize, kMaxSize) : kMinSize;
  if (face_) FT_Set_Char_Size(face_->face, 0, static_cast<FT_F26Dot6>(std::lround(size_ * 64.0)), 72, 72);
}

Int32 Font::TextWidth(const std::string& utf8) const {
  if (!face_) return 0;
  FT_Pos width = 0;
  for (size_t at = 0; at < utf8.size();) {
    if (FT_Load_Char(face_->face, NextCodePoint(utf8, at), FT_LOAD_DEFAULT) == 0)
      width += face_->face->glyph->advance.x;
  }
  return Pixels26(width);
}

Int32 Font::LineHeight() const { return face_ ? Pixels26(face_->face->size->metrics.height) : 0; }
Int32 Font::Ascent() const { return face_ ? Pixels26(face_->face->size->metrics.ascender) : 0; }

void Font::Draw(const Painter& painter, Int32 x, Int32 y, const std::string& utf8) const {
  if (!face_) return;
  const PixelRect& clip = painter.GetClip();
  const Int64 baseline = static_cast<Int64>(y) + Ascent();
  FT_Pos pen = static_cast<FT_Pos>(x) * 64;
  for (size_t at = 0; at < utf8.size();) {
    if (FT_Load_Char(face_->face, NextCodePoint(utf8, at), FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot glyph = face_->face->glyph;
    const Int64 left = Pixels26(pen) + glyph->bitmap_left;
    const Int64 top = baseline - glyph->bitmap_top;
    pen += glyph->advance.x;
    if (left > clip.x1 || top > clip.y1) continue;
    const FT_Bitmap& bitmap = glyph->bitmap;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      const Int64 py = top + row;
      if (py < clip.y0 || py > clip.y1) continue;
      const unsigned char* line = bitmap.buffer + static_cast<Int64>(row) * bitmap.pitch;
      for (unsigned column = 0; column < bitmap.width; ++column) {
        const Int64 px = left + column;
        if (px >= clip.x0 && px <= clip.x1 && line[column] != 0)
          painter.Blend(static_cast<Int32>(px), static_cast<Int32>(py), line[column] / 255.0f);
      }
    }
  }
}

}  // namespace paint
