// Text that must fit the fixed boxes of a printed invoice. A company or
// customer name of sixty wide letters is far wider than its 200-unit column:
// drawn as one line it would be cut off in mid-word, or run into the title
// block beside it. Here such a text breaks at blanks onto a second line when
// the block has room for it, and what still does not fit ends in an
// ellipsis, so nothing is lost silently and nothing overlaps.
#pragma once

#include "platform/devicecontext.h"

#include <string>
#include <string_view>
#include <vector>

namespace quillory {

inline constexpr const char* kEllipsis = "\xE2\x80\xA6"; // …

// The lines `text` takes in `width` units in the current font: broken at
// blanks, a word wider than a line broken between two characters. At most
// `maxLines` (at least one, even for an empty text); the last one ends in
// an ellipsis when text is left over.
std::vector<std::string> WrapText(DeviceContext& dc, std::string_view text, int width, int maxLines);

// `text` cut to fit `width`, ending in an ellipsis when it had to be cut.
std::string ElideText(DeviceContext& dc, std::string_view text, int width);

// Draws the entries one under the other from (left, top), one print line
// each, left-aligned in `width`. An entry too wide for its line takes up to
// two more as long as every entry after it keeps a line above `bottom`.
// The y below the last line drawn.
int DrawTextBlock(DeviceContext& dc, const std::vector<std::string>& entries, int left, int top, int width, int bottom);

// Sets the largest font of the face and weight of `font`, from its height
// down to `minHeight`, in which `text` fits `width`; the height chosen.
int SetFittingFont(DeviceContext& dc, const FontSpec& font, const std::string& text, int width, int minHeight);

} // namespace quillory
