#include "cdg/cdg_font.h"

namespace lyricade {
namespace {

constexpr CdgGlyph kGlyphs[95] = {
#include "cdg/cdg_font_data.inc"
};

}  // namespace

const CdgGlyph& CdgFontGlyph(char c) {
  const int code = static_cast<unsigned char>(c);
  if (code < 32 || code > 126) return kGlyphs['?' - 32];
  return kGlyphs[code - 32];
}

}  // namespace lyricade
