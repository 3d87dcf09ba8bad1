#include "support/recordingdc.h"

#include <gtest/gtest.h>

namespace quillory::test {

DrawCall& RecordingDC::add(DrawCall::Kind kind, const Rect& r)
{
    DrawCall& c = calls.emplace_back();
    c.kind = kind;
    c.rect = r;
    return c;
}

void RecordingDC::rectangle(const Rect& r)
{
    DrawCall& c = add(DrawCall::Rectangle, r);
    c.pen = m_pen;
    c.brush = m_brush;
    c.hollow = m_hollow;
}

void RecordingDC::fillRect(const Rect& r, Rgb color)
{
    add(DrawCall::Fill, r).color = color;
}

void RecordingDC::frameRect(const Rect& r, Rgb color)
{
    add(DrawCall::Frame, r).color = color;
}

void RecordingDC::line(int x1, int y1, int x2, int y2)
{
    DrawCall& c = add(DrawCall::Line, Rect{x1, y1, x2, y2});
    c.pen = m_pen;
    c.color = m_pen.color;
}

void RecordingDC::drawText(const std::string& text, const Rect& r, unsigned flags)
{
    DrawCall& c = add(DrawCall::Text, r);
    c.text = text;
    c.flags = flags;
    c.color = m_textColor;
    c.font = m_font;
    c.transparent = m_transparent;
}

void RecordingDC::pie(const Rect& bounds, int x1, int y1, int x2, int y2)
{
    DrawCall& c = add(DrawCall::Pie, bounds);
    c.radials = Rect{x1, y1, x2, y2};
    c.pen = m_pen;
    c.brush = m_brush;
    c.hollow = m_hollow;
}

void RecordingDC::setClip(const Rect& r)
{
    add(DrawCall::Clip, r);
}

std::vector<DrawCall> RecordingDC::ofKind(DrawCall::Kind kind) const
{
    std::vector<DrawCall> result;
    for (const DrawCall& c : calls) {
        if (c.kind == kind)
            result.push_back(c);
    }
    return result;
}

DrawCall RecordingDC::textCall(const std::string& text) const
{
    for (const DrawCall& c : calls) {
        if (c.kind == DrawCall::Text && c.text == text)
            return c;
    }
    ADD_FAILURE() << "no text drawn: " << text;
    return DrawCall{};
}

std::vector<std::string> RecordingDC::texts() const
{
    std::vector<std::string> result;
    for (const DrawCall& c : calls) {
        if (c.kind == DrawCall::Text)
            result.push_back(c.text);
    }
    return result;
}

} // namespace quillory::test
