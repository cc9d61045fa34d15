#pragma once

#include "core/sheet/stationsheet.h"

#include <QString>

class QPagedPaintDevice;

// The station sheet on paper: A4 portrait, the turntable picture as the definition tab draws it,
// and the tables flowing over as many pages as they need, each page numbered. The same painting
// goes to a printer and to a PDF file.
namespace SheetPrinter {

// Paints the sheet on a device already set to its page (a printer from the print dialog, a PDF
// writer); returns the number of pages, or 0 when the
// device cannot be painted on (a file that cannot be written).
int Paint(QPagedPaintDevice &device, const StationSheet::Content &content);

// Writes the sheet as a PDF file at path; false with the reason when the file cannot be written.
bool WritePdf(const QString &path, const StationSheet::Content &content, QString *error);

} // namespace SheetPrinter
