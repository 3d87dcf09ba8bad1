// DeviceContext on a QPainter: a widget, a pixmap or a printer page.
#pragma once

#include "platform/devicecontext.h"

#include <QFont>
#include <QPainter>

namespace quillory {

class QtDeviceContext final : public DeviceContext {
public:
    explicit QtDeviceContext(QPainter& painter);

    void setFont(const FontSpec& font) override;
    void setTextColor(Rgb color) override;
    void setTransparentText(bool transparent) override;
    void setPen(const PenSpec& pen) override;
    void setBrush(Rgb color) override;
    void setHollowBrush() override;
    void rectangle(const Rect& r) override;
    void fillRect(const Rect& r, Rgb color) override;
    void frameRect(const Rect& r, Rgb color) override;
    void line(int x1, int y1, int x2, int y2) override;
    void drawText(const std::string& text, const Rect& r, unsigned flags) override;
    int textWidth(const std::string& text) override;
    void pie(const Rect& bounds, int x1, int y1, int x2, int y2) override;
    void setClip(const Rect& r) override;
    void clearClip() override;

private:
    QPainter& m_painter;
    QPen m_pen;
    QBrush m_brush;
    QColor m_textColor;
    bool m_transparentText = false;
};

// The Qt font for a font asked for by face, cell height and weight. The cell
// height (ascent plus descent) is what the layouts were measured in, so the
// pixel size is the em size of that cell.
QFont qtFont(const FontSpec& font);
QColor qtColor(Rgb color);
QRect qtRect(const Rect& r);

} // namespace quillory
