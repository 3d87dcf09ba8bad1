#include "reports/invoicelayout.h"

#include "data/text.h"
#include "reports/printout.h"

#include <algorithm>

namespace quillory {

namespace {

constexpr unsigned kLine = kTextLeft | kTextVCenter | kTextSingleLine;
// Sixty letters of a name take three lines of a block at most.
constexpr int kMaxEntryLines = 3;

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The longest start of `text`, whole characters, that fits `width`; at
// least one character, so that every line moves on.
std::size_t fittingPrefix(DeviceContext& dc, std::string_view text, int width)
{
    std::size_t fits = 0;
    for (std::size_t end = 1; end <= text.size(); ++end) {
        if (end < text.size() && isContinuationByte(text[end]))
            continue;
        if (dc.textWidth(std::string(text.substr(0, end))) > width)
            break;
        fits = end;
    }
    if (fits == 0) {
        fits = 1;
        while (fits < text.size() && isContinuationByte(text[fits]))
            ++fits;
    }
    return fits;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

} // namespace

std::string ElideText(DeviceContext& dc, std::string_view text, int width)
{
    if (dc.textWidth(std::string(text)) <= width)
        return std::string(text);
    std::string_view kept = text;
    while (!kept.empty()) {
        kept = cutAtCharBoundary(kept, kept.size() - 1);
        kept = trimmed(kept);
        if (dc.textWidth(std::string(kept) + kEllipsis) <= width)
            break;
    }
    return std::string(kept) + kEllipsis;
}

std::vector<std::string> WrapText(DeviceContext& dc, std::string_view text, int width, int maxLines)
{
    maxLines = std::max(1, maxLines);
    std::vector<std::string> lines;
    std::string_view rest = trimmed(text);
    while (!rest.empty() && static_cast<int>(lines.size()) < maxLines - 1) {
        if (dc.textWidth(std::string(rest)) <= width)
            break;
        // The most words that fit; a single word too wide is broken.
        std::size_t end = 0;
        for (std::size_t blank = rest.find(' '); blank != std::string_view::npos; blank = rest.find(' ', blank + 1)) {
            if (dc.textWidth(std::string(trimmed(rest.substr(0, blank)))) > width)
                break;
            end = blank;
        }
        if (end == 0 || trimmed(rest.substr(0, end)).empty())
            end = fittingPrefix(dc, rest, width);
        lines.emplace_back(trimmed(rest.substr(0, end)));
        rest = trimmed(rest.substr(end));
    }
    lines.push_back(ElideText(dc, rest, width));
    return lines;
}

int DrawTextBlock(DeviceContext& dc, const std::vector<std::string>& entries, int left, int top, int width, int bottom)
{
    int y = top;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int after = static_cast<int>(entries.size() - i - 1);
        const int room = (bottom - y) / kPrintLine - after;
        for (const std::string& line : WrapText(dc, entries[i], width, std::clamp(room, 1, kMaxEntryLines))) {
            dc.drawText(line, {left, y, left + width, y + kPrintLine}, kLine);
            y += kPrintLine;
        }
    }
    return y;
}

int SetFittingFont(DeviceContext& dc, const FontSpec& font, const std::string& text, int width, int minHeight)
{
    FontSpec fitting = font;
    dc.setFont(fitting);
    while (fitting.height > minHeight && dc.textWidth(text) > width) {
        --fitting.height;
        dc.setFont(fitting);
    }
    return fitting.height;
}

} // namespace quillory
