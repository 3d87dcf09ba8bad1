// Printouts on Qt's paged devices, a printer or a PDF file, with QtGui
// alone. Each page is the printout's own drawing routine on the logical
// page of 620 x 830 units, stretched over the device's printable area.
#pragma once

#include "reports/printout.h"

#include <QPageLayout>
#include <QRect>

#include <string>

class QPagedPaintDevice;
class QPainter;

namespace quillory {

// Lays the logical page over `area` (the device's pixels) and draws page
// `page` of the printout there.
void PaintPrintoutPage(QPainter& painter, const QRect& area, Printout& printout, int page);

// Pages `firstPage` to `lastPage` (0: to the end), one device page each, on
// a device that is ready to paint on. False when painting cannot start.
bool PaintPrintout(QPagedPaintDevice& device, Printout& printout, int firstPage = 1, int lastPage = 0);

// A4 with margins of 10 points, as a printer-less print preview lays it
// out, turned for a landscape printout: the page of a PDF file made
// without a printer to take it from.
QPageLayout DefaultPageLayout(bool landscape);

// Writes the pages firstPage to lastPage (every page by default) of the
// printout as a PDF file, as every output is written (see OutputFile): never
// over a file of the data set at `dataSetPath` (none when empty), only in
// place of a regular file the user may write, and only once complete. False
// when the file cannot be written.
bool WritePdf(const std::string& path, Printout& printout, const QPageLayout& layout,
    const std::string& dataSetPath = {}, int firstPage = 1, int lastPage = 0);

} // namespace quillory
