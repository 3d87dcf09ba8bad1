// A DeviceContext that keeps every drawing call, so tests can check what
// would be drawn and where without a display.
#pragma once

#include "platform/devicecontext.h"

#include <string>
#include <vector>

namespace quillory::test {

struct DrawCall {
    enum Kind { Rectangle, Fill, Frame, Line, Text, Clip, Pie } kind = Rectangle;
    Rect rect; // the rectangle, or the line from (left, top) to (right, bottom)
    Rect radials; // for pies: the radial points (x1, y1) and (x2, y2)
    std::string text;
    unsigned flags = 0;
    Rgb color; // fill or frame colour, text colour, pen colour for lines
    FontSpec font; // for text
    PenSpec pen; // for rectangles and lines
    Rgb brush; // for rectangles and pies
    bool hollow = false;
    bool transparent = false; // for text
};

class RecordingDC : public DeviceContext {
public:
    void setFont(const FontSpec& font) override { m_font = font; }
    void setTextColor(Rgb color) override { m_textColor = color; }
    void setTransparentText(bool transparent) override { m_transparent = transparent; }
    void setPen(const PenSpec& pen) override { m_pen = pen; }
    void setBrush(Rgb color) override
    {
        m_brush = color;
        m_hollow = false;
    }
    void setHollowBrush() override { m_hollow = true; }
    void rectangle(const Rect& r) override;
    void fillRect(const Rect& r, Rgb color) override;
    void frameRect(const Rect& r, Rgb color) override;
    void line(int x1, int y1, int x2, int y2) override;
    void drawText(const std::string& text, const Rect& r, unsigned flags) override;
    // `charWidth` units a character: enough to lay texts out predictably,
    // and to stand for narrower or wider fonts.
    int textWidth(const std::string& text) override { return charWidth * static_cast<int>(text.size()); }
    int charWidth = 7;
    void pie(const Rect& bounds, int x1, int y1, int x2, int y2) override;
    // A clip is recorded with its rectangle; clearing it, with an empty one.
    void setClip(const Rect& r) override;
    void clearClip() override { setClip(Rect{}); }

    std::vector<DrawCall> calls;
    std::vector<DrawCall> ofKind(DrawCall::Kind kind) const;
    // The text call drawing exactly this text; fails the test when there is none.
    DrawCall textCall(const std::string& text) const;
    std::vector<std::string> texts() const;

private:
    DrawCall& add(DrawCall::Kind kind, const Rect& r);

    FontSpec m_font;
    Rgb m_textColor = kBlack;
    bool m_transparent = false;
    PenSpec m_pen;
    Rgb m_brush = kWhite;
    bool m_hollow = false;
};

} // namespace quillory::test
