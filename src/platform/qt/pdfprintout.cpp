#include "platform/qt/pdfprintout.h"

#include "data/fileio.h"
#include "data/outputfile.h"
#include "platform/qt/qtdevicecontext.h"

#include <QIODevice>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace quillory {

namespace {

// The output's scratch file as a device for Qt to write to, in blocks: the
// PDF engine writes many small pieces.
class OutputDevice final : public QIODevice {
public:
    explicit OutputDevice(FileHandle& file)
        : m_file(file)
    {
        m_buffer.reserve(kBlock);
        open(QIODevice::WriteOnly);
    }
    // Whether every byte written reached the file.
    bool finish() { return drain() && !m_failed; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (m_failed)
            return -1;
        m_buffer.append(data, static_cast<std::size_t>(size));
        if (m_buffer.size() >= kBlock && !drain())
            return -1;
        return size;
    }

private:
    static constexpr std::size_t kBlock = std::size_t{1} << 16;
    bool drain()
    {
        if (!m_failed && !m_buffer.empty() && !m_file.writeAll(m_buffer.data(), m_buffer.size()))
            m_failed = true;
        m_buffer.clear();
        return !m_failed;
    }
    FileHandle& m_file;
    std::string m_buffer;
    bool m_failed = false;
};

} // namespace

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

bool WritePdf(const std::string& path, Printout& printout, const QPageLayout& layout, const std::string& dataSetPath,
    int firstPage, int lastPage)
{
    auto output = OutputFile::open(dataSetPath, path);
    if (!output)
        return false;
    OutputDevice device(output->file());
    {
        QPdfWriter writer(&device);
        writer.setCreator(QStringLiteral("Quillory"));
        writer.setPageLayout(layout);
        if (!PaintPrintout(writer, printout, firstPage, lastPage))
            return false;
    }
    // The last pages reach the file only now; a full disk shows here.
    return device.finish() && output->commit();
}

} // namespace quillory
