#include "reports/printout.h"

namespace quillory {

void BeginPage(DeviceContext& dc)
{
    dc.setFont(kPrintFont);
    dc.setTextColor(kBlack);
    dc.setPen(PenSpec{});
    dc.setBrush(kWhite);
    dc.setTransparentText(true);
}

void DrawPageNumber(DeviceContext& dc, int page)
{
    dc.drawText("Page " + std::to_string(page), kFooterRect, kTextRight | kTextVCenter | kTextSingleLine);
}

} // namespace quillory
