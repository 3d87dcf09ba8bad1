#include "platform/qt/pdfprintout.h"

#include "platform/qt/qtdevicecontext.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QString>

#include <algorithm>

namespace quillory {

void PaintPrintoutPage(QPainter& painter, const QRect& area, Printout& printout, int page)
{
    painter.save();
    painter.setViewport(area);
    painter.setWindow(0, 0, kPageWidth, kPageHeight);
    QtDeviceContext dc(painter);
    printout.DrawPage(dc, page);
    painter.restore();
}

bool PaintPrintout(QPagedPaintDevice& device, Printout& printout, int firstPage, int lastPage)
{
    const int pages = printout.PageCount();
    firstPage = std::clamp(firstPage, 1, pages);
    lastPage = lastPage <= 0 ? pages : std::clamp(lastPage, firstPage, pages);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QRect area(0, 0, device.width(), device.height());
    for (int page = firstPage; page <= lastPage; ++page) {
        if (page > firstPage)
            device.newPage();
        PaintPrintoutPage(painter, area, printout, page);
    }
    return painter.end();
}

QPageLayout DefaultPageLayout(bool landscape)
{
    // What the print preview lays out when no printer says otherwise: A4
    // with margins of 10 points. A PDF made without a window then matches
    // one saved from the preview page for page and point for point.
    return QPageLayout(QPageSize(QPageSize::A4), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
        QMarginsF(10, 10, 10, 10), QPageLayout::Point);
}

bool WritePdf(const std::string& path, Printout& printout, const QPageLayout& layout)
{
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Quillory"));
        writer.setPageLayout(layout);
        if (!PaintPrintout(writer, printout)) {
            file.cancelWriting();
            return false;
        }
    }
    // The last buffered bytes reach the file only now; a full disk then
    // shows in the file's error, which commit() would not look at.
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace quillory
