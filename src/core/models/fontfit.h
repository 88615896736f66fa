#pragma once

// Which face, and at which sizes, a window's captions are shown in, so that each is whole in its
// control: the layouts are fixed in twips, and interface fonts differ a lot in how tall their
// lines are for one size (Noto Sans CJK's is nearly one and a half times its size).

#include <functional>
#include <string_view>
#include <vector>

namespace app {

// A caption and the room its control draws it in, in pixels. Captions of one kind (labels,
// buttons, ...) are shown at one size, so that a window does not look patched.
struct Caption {
    std::u16string_view text; // empty: the control shows no caption of its own (a list)
    int kind;
    int width, height;
};

// A caption's width and its font's line height in pixels, in a face at an em height.
struct TextSize {
    int width, height;
};
using Measure = std::function<TextSize(size_t face, int em, std::u16string_view text)>;

struct FontChoice {
    size_t face = 0; // among those measured, the best first
    std::vector<int> ems; // one for each caption
};

// Of `faces` faces, best first, the first one good enough (its smallest caption at five sixths of
// `em` or more: a pixel or two smaller is fine), else the one whose smallest caption comes out
// largest; each caption at the largest em height up to `em` at which its kind fits, and at least
// `smallest`. Faces after a good enough one are not measured: measuring loads a font.
FontChoice chooseFonts(
    size_t faces, int em, int smallest, const std::vector<Caption>& captions, const Measure& measure);

} // namespace app
