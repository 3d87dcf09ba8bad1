// What every printout is to the print machinery: a number of pages, an
// orientation, and one routine that draws page p on a DeviceContext. The
// screen preview, the printer and PDF files all call that same routine, so
// what is previewed is what is printed.
//
// A page is drawn on a logical page of 620 x 830 units (x to the right, y
// downwards, origin at the top left of the printable area) that the device
// stretches over its printable area, whatever the paper and orientation.
#pragma once

#include "platform/devicecontext.h"

#include <string>

namespace quillory {

inline constexpr int kPageWidth = 620;
inline constexpr int kPageHeight = 830;
// Every line of text on paper is 15 units high.
inline constexpr int kPrintLine = 15;
// The font a page starts with: its cells fit the 15-unit lines.
inline const FontSpec kPrintFont{"Arial", 12, 400};
// "Page %d", right-aligned on the footer line.
inline constexpr Rect kFooterRect{10, 780, 580, 800};

class Printout {
public:
    virtual ~Printout() = default;
    // At least 1: a printout with nothing to show still has its empty page.
    virtual int PageCount() const = 0;
    virtual bool Landscape() const { return false; }
    // Draws page `page` (from 1) on the logical page.
    virtual void DrawPage(DeviceContext& dc, int page) = 0;
};

// Sets the state every page starts from: the print font, black text, black pen, white brush.
void BeginPage(DeviceContext& dc);
// "Page %d", right-aligned on one line, vertically centred in the footer.
void DrawPageNumber(DeviceContext& dc, int page);

} // namespace quillory
