// Drawing for screen and paper. Everything the program draws (the week
// chart, the panels, reports, invoices, the pie) goes through this small
// interface, which keeps the coordinate conventions the layouts were made
// with: a rectangle (l, t, r, b) covers x from l to r-1 and y from t to b-1,
// a line leaves out its end point, text is laid out in a rectangle.
#pragma once

#include <cstdint>
#include <string>

namespace quillory {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    // Left and top edges inside, right and bottom edges outside.
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const Rect&) const = default;
};

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kLightGrey{192, 192, 192};

struct FontSpec {
    std::string face = "Arial";
    int height = 12; // cell height in logical units
    int weight = 700; // 400 normal, 700 bold
    bool operator==(const FontSpec&) const = default;
};

enum class PenStyle { Solid, Dotted, None };
struct PenSpec {
    PenStyle style = PenStyle::Solid;
    int width = 1;
    Rgb color = kBlack;
    bool operator==(const PenSpec&) const = default;
};

// Text layout flags, combined with |.
enum TextFlags : unsigned {
    kTextLeft = 0,
    kTextCenter = 1u << 0,
    kTextRight = 1u << 1,
    kTextVCenter = 1u << 2,
    kTextSingleLine = 1u << 3,
    kTextWordBreak = 1u << 4,
};

class DeviceContext {
public:
    virtual ~DeviceContext() = default;

    virtual void setFont(const FontSpec& font) = 0;
    virtual void setTextColor(Rgb color) = 0;
    // Transparent text leaves what is behind the letters; opaque text paints
    // its background white first.
    virtual void setTransparentText(bool transparent) = 0;
    virtual void setPen(const PenSpec& pen) = 0;
    // The fill of rectangles and pies; nothing for a hollow brush.
    virtual void setBrush(Rgb color) = 0;
    virtual void setHollowBrush() = 0;

    // Outline with the pen, fill with the brush.
    virtual void rectangle(const Rect& r) = 0;
    virtual void fillRect(const Rect& r, Rgb color) = 0;
    // A frame one unit wide inside the rectangle.
    virtual void frameRect(const Rect& r, Rgb color) = 0;
    virtual void line(int x1, int y1, int x2, int y2) = 0;
    virtual void drawText(const std::string& text, const Rect& r, unsigned flags) = 0;
    // Width of the text in the current font.
    virtual int textWidth(const std::string& text) = 0;
    // A slice of the ellipse inscribed in `bounds`, outlined with the pen and
    // filled with the brush. It runs counter-clockwise as seen on the page
    // from the radial through (x1, y1) to the radial through (x2, y2); when
    // both radials coincide it is the whole ellipse.
    virtual void pie(const Rect& bounds, int x1, int y1, int x2, int y2) = 0;
    // Keeps what follows inside the rectangle, until the clip is cleared.
    virtual void setClip(const Rect& r) = 0;
    virtual void clearClip() = 0;
};

} // namespace quillory
