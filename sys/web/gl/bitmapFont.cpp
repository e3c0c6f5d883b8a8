#include "sys/web/gl/bitmapFont.h"

#include <array>
#include <string_view>

namespace weblayer {

namespace {

// A glyph as drawn: rows from the top, '#' set; `below` rows hang under the baseline.
struct Drawing {
    char character;
    int advance;
    int below;
    std::array<std::string_view, 9> rows;
};

// Digits and capitals stand 7 pixels high, small letters 5, as Helvetica's do at this size.
constexpr Drawing kDrawings[] = {
    {'0', 6, 0, {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'1', 6, 0, {"  # ", " ## ", "  # ", "  # ", "  # ", "  # ", "  # "}},
    {'2', 6, 0, {" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"}},
    {'3', 6, 0, {" ### ", "#   #", "    #", "  ## ", "    #", "#   #", " ### "}},
    {'4', 6, 0, {"   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "}},
    {'5', 6, 0, {"#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "}},
    {'6', 6, 0, {" ### ", "#    ", "#### ", "#   #", "#   #", "#   #", " ### "}},
    {'7', 6, 0, {"#####", "    #", "   # ", "   # ", "  #  ", "  #  ", "  #  "}},
    {'8', 6, 0, {" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "}},
    {'9', 6, 0, {" ### ", "#   #", "#   #", "#   #", " ####", "    #", " ### "}},
    {'.', 3, 0, {"#"}},
    {':', 3, 0, {"#", " ", " ", " ", "#"}},
    {'-', 7, 0, {"#####", " ", " "}},
    {'+', 6, 0, {"  #  ", "  #  ", "#####", "  #  ", "  #  "}},
    {' ', 3, 0, {}},
    {'f', 4, 0, {" ##", "#  ", "###", "#  ", "#  ", "#  ", "#  "}},
    {'p', 6, 2, {"#### ", "#   #", "#   #", "#   #", "#### ", "#    ", "#    "}},
    {'s', 5, 0, {" ###", "#   ", " ## ", "   #", "### "}},
    {'i', 2, 0, {"#", " ", "#", "#", "#", "#", "#"}},
    {'n', 6, 0, {"# ## ", "##  #", "#   #", "#   #", "#   #"}},
    {'a', 5, 0, {"### ", "   #", " ###", "#  #", " ###"}},
};

Glyph glyphOf(const Drawing& drawing) {
    Glyph glyph{drawing.advance, {}};
    int height = 0;
    while (height < int(drawing.rows.size()) && !drawing.rows[std::size_t(height)].empty()) {
        ++height;
    }
    for (int row = 0; row < height; ++row) {
        const std::string_view line = drawing.rows[std::size_t(row)];
        for (std::size_t column = 0; column < line.size(); ++column) {
            if (line[column] == '#') {
                glyph.pixels.push_back({int(column), height - 1 - row - drawing.below});
            }
        }
    }
    return glyph;
}

std::array<Glyph, 256> allGlyphs() {
    std::array<Glyph, 256> glyphs;
    glyphs.fill(Glyph{6, {}});
    for (const Drawing& drawing : kDrawings) {
        glyphs[static_cast<unsigned char>(drawing.character)] = glyphOf(drawing);
    }
    return glyphs;
}

} // namespace

const Glyph& helvetica10Glyph(unsigned char character) {
    static const std::array<Glyph, 256> glyphs = allGlyphs();
    return glyphs[character];
}

} // namespace weblayer
