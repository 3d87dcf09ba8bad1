#include "support/recordingdc.h"

#include <gtest/gtest.h>

namespace quillory::test {

void RecordingDC::rectangle(const Rect& r)
{
    DrawCall c;
    c.kind = DrawCall::Rectangle;
    c.rect = r;
    c.pen = m_pen;
    c.brush = m_brush;
    c.hollow = m_hollow;
    calls.push_back(c);
}

void RecordingDC::fillRect(const Rect& r, Rgb color)
{
    DrawCall c;
    c.kind = DrawCall::Fill;
    c.rect = r;
    c.color = color;
    calls.push_back(c);
}

void RecordingDC::frameRect(const Rect& r, Rgb color)
{
    DrawCall c;
    c.kind = DrawCall::Frame;
    c.rect = r;
    c.color = color;
    calls.push_back(c);
}

void RecordingDC::line(int x1, int y1, int x2, int y2)
{
    DrawCall c;
    c.kind = DrawCall::Line;
    c.rect = Rect{x1, y1, x2, y2};
    c.pen = m_pen;
    c.color = m_pen.color;
    calls.push_back(c);
}

void RecordingDC::drawText(const std::string& text, const Rect& r, unsigned flags)
{
    DrawCall c;
    c.kind = DrawCall::Text;
    c.rect = r;
    c.text = text;
    c.flags = flags;
    c.color = m_textColor;
    c.font = m_font;
    c.transparent = m_transparent;
    calls.push_back(c);
}

void RecordingDC::setClip(const Rect& r)
{
    DrawCall c;
    c.kind = DrawCall::Clip;
    c.rect = r;
    calls.push_back(c);
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
