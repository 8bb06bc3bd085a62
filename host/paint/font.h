#pragma once

#include "paint/painter.h"

#include <memory>
#include <string>

namespace paint {

// The two fonts the host offers by kind: 0 proportional (DejaVu Sans), 1 monospaced (DejaVu Sans Mono).
enum class FontKind : Int32 { Proportional = 0, Monospaced = 1 };

// The font file of a kind, looked up in the usual font folders; empty when none is installed.
std::string FindFontFile(FontKind kind);

// One FreeType face at one pixel size. Text is UTF-8; invalid bytes show as U+FFFD. Widths and
// positions are whole pixels, and measuring and drawing use the same glyph advances.
class Font {
 public:
  static constexpr Float kMinSize = 1.0;
  static constexpr Float kMaxSize = 4096.0;

  Font();
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // False with `error` when the file cannot be read as a font.
  bool Load(const std::string& path, std::string& error);
  bool IsLoaded() const;
  // Size in pixels (the em height), clamped to [kMinSize, kMaxSize]; a size that is not a number
  // becomes kMinSize.
  void SetSize(Float pixels);
  Float GetSize() const { return size_; }

  Int32 TextWidth(const std::string& utf8) const;
  // Distance between two lines of text.
  Int32 LineHeight() const;
  // Distance from the top of a line to its baseline.
  Int32 Ascent() const;
  // Draws a line of text with its top-left corner at pixel (x, y) in the painter's pen colour,
  // anti-aliased and clipped.
  void Draw(const Painter& painter, Int32 x, Int32 y, const std::string& utf8) const;

 private:
  struct Face;
  std::unique_ptr<Face> face_;
  Float size_ = 12.0;
};

}  // namespace paint
