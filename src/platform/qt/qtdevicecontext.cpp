#include "platform/qt/qtdevicecontext.h"

#include <QFontMetrics>
#include <QString>

#include <cmath>
#include <numbers>
#include <unordered_map>

namespace quillory {

namespace {

int qtTextFlags(unsigned flags)
{
    int f = 0;
    if (flags & kTextCenter)
        f |= Qt::AlignHCenter;
    else if (flags & kTextRight)
        f |= Qt::AlignRight;
    else
        f |= Qt::AlignLeft;
    f |= (flags & kTextVCenter) ? Qt::AlignVCenter : Qt::AlignTop;
    if (flags & kTextSingleLine)
        f |= Qt::TextSingleLine;
    if (flags & kTextWordBreak)
        f |= Qt::TextWordWrap;
    return f;
}

} // namespace

QRect qtRect(const Rect& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

QColor qtColor(Rgb color)
{
    return QColor(color.r, color.g, color.b);
}

QFont qtFont(const FontSpec& wanted)
{
    // Fonts are asked for often (every paint); the em size for a cell height
    // is measured once per face and height.
    static std::unordered_map<std::string, int> pixelSizes;
    const std::string key = wanted.face + '/' + std::to_string(wanted.height) + '/' + std::to_string(wanted.weight);
    QFont font(QString::fromStdString(wanted.face));
    font.setWeight(wanted.weight >= 600 ? QFont::Bold : QFont::Normal);
    font.setStyleStrategy(QFont::PreferQuality);
    auto it = pixelSizes.find(key);
    if (it == pixelSizes.end()) {
        font.setPixelSize(100);
        const QFontMetrics probe(font);
        const int cell = std::max(1, probe.ascent() + probe.descent());
        it = pixelSizes.emplace(key, std::max(1, (wanted.height * 100 + cell / 2) / cell)).first;
    }
    font.setPixelSize(it->second);
    return font;
}

QtDeviceContext::QtDeviceContext(QPainter& painter)
    : m_painter(painter)
    , m_pen(Qt::black, 0)
    , m_brush(Qt::white)
    , m_textColor(Qt::black)
{
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_painter.setFont(qtFont(FontSpec{}));
}

void QtDeviceContext::setFont(const FontSpec& font)
{
    m_painter.setFont(qtFont(font));
}

void QtDeviceContext::setTextColor(Rgb color)
{
    m_textColor = qtColor(color);
}

void QtDeviceContext::setTransparentText(bool transparent)
{
    m_transparentText = transparent;
}

void QtDeviceContext::setPen(const PenSpec& pen)
{
    if (pen.style == PenStyle::None) {
        m_pen = QPen(Qt::NoPen);
        return;
    }
    m_pen = QPen(qtColor(pen.color), pen.width <= 1 ? 0 : pen.width);
    m_pen.setStyle(pen.style == PenStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
}

void QtDeviceContext::setBrush(Rgb color)
{
    m_brush = QBrush(qtColor(color));
}

void QtDeviceContext::setHollowBrush()
{
    m_brush = QBrush(Qt::NoBrush);
}

void QtDeviceContext::rectangle(const Rect& r)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    if (m_brush.style() != Qt::NoBrush)
        m_painter.fillRect(qtRect(r), m_brush);
    if (m_pen.style() != Qt::NoPen) {
        m_painter.setPen(m_pen);
        m_painter.setBrush(Qt::NoBrush);
        // The outline runs on the outermost pixels of the rectangle.
        m_painter.drawRect(QRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1));
    }
}

void QtDeviceContext::fillRect(const Rect& r, Rgb color)
{
    if (r.right > r.left && r.bottom > r.top)
        m_painter.fillRect(qtRect(r), qtColor(color));
}

void QtDeviceContext::frameRect(const Rect& r, Rgb color)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    const QColor c = qtColor(color);
    m_painter.fillRect(QRect(r.left, r.top, r.right - r.left, 1), c);
    m_painter.fillRect(QRect(r.left, r.bottom - 1, r.right - r.left, 1), c);
    m_painter.fillRect(QRect(r.left, r.top, 1, r.bottom - r.top), c);
    m_painter.fillRect(QRect(r.right - 1, r.top, 1, r.bottom - r.top), c);
}

void QtDeviceContext::line(int x1, int y1, int x2, int y2)
{
    if (m_pen.style() == Qt::NoPen || (x1 == x2 && y1 == y2))
        return;
    // The end point is not part of the line.
    const int dx = (x2 > x1) - (x2 < x1);
    const int dy = (y2 > y1) - (y2 < y1);
    m_painter.setPen(m_pen);
    m_painter.drawLine(x1, y1, x2 - dx, y2 - dy);
}

void QtDeviceContext::drawText(const std::string& text, const Rect& r, unsigned flags)
{
    const QString s = QString::fromStdString(text);
    const QRect box = qtRect(r);
    const int qtFlags = qtTextFlags(flags);
    if (!m_transparentText) {
        const QRect used = m_painter.boundingRect(box, qtFlags, s).intersected(box);
        m_painter.fillRect(used, Qt::white);
    }
    m_painter.setPen(m_textColor);
    // Qt clips text that does not fit its box by itself; a clip of our own
    // around every text would only weigh down the pages of a long printout.
    m_painter.drawText(box, qtFlags, s);
}

int QtDeviceContext::textWidth(const std::string& text)
{
    return m_painter.fontMetrics().horizontalAdvance(QString::fromStdString(text));
}

void QtDeviceContext::pie(const Rect& bounds, int x1, int y1, int x2, int y2)
{
    if (bounds.right <= bounds.left || bounds.bottom <= bounds.top)
        return;
    // Qt counts angles in sixteenths of a degree, counter-clockwise as seen,
    // from three o'clock; y grows downwards on the page.
    const double cx = (bounds.left + bounds.right) / 2.0;
    const double cy = (bounds.top + bounds.bottom) / 2.0;
    auto degrees = [&](int x, int y) { return std::atan2(cy - y, x - cx) * 180.0 / std::numbers::pi; };
    const double start = degrees(x1, y1);
    double span = degrees(x2, y2) - start;
    while (span <= 0.0)
        span += 360.0;
    if (x1 == x2 && y1 == y2)
        span = 360.0;
    m_painter.setPen(m_pen);
    m_painter.setBrush(m_brush);
    // Like a rectangle, the outline keeps inside the bounds.
    const QRectF box(bounds.left, bounds.top, bounds.width() - 1, bounds.height() - 1);
    m_painter.drawPie(box, static_cast<int>(std::lround(start * 16)), static_cast<int>(std::lround(span * 16)));
    m_painter.setBrush(Qt::NoBrush);
}

void QtDeviceContext::setClip(const Rect& r)
{
    m_painter.setClipRect(qtRect(r));
}

void QtDeviceContext::clearClip()
{
    m_painter.setClipping(false);
}

} // namespace quillory
