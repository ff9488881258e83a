// Printing the archive's reports: the lines the core lays out by print column are painted
// in a monospaced font, sized so the widest column fits the page. On the system's default
// printer, or into a PDF file when no printer is installed.
#pragma once

#include "printout/report.h"

#include <QString>
#include <functional>

class QPainter;
class QPrinter;

namespace qv::ui {

struct PrintOutcome {
    bool ok = false;
    bool pdf = false;  // written to a file instead of a printer
    bool cancelled = false; // no printer, and the teacher chose no file: nothing was written
    QString pdfPath;
    QString printer;   // name of the printer used
};

// Paints the report on a printer already set up (printer or PDF file).
bool paintReport(QPrinter &printer, const Report &report);
// Sets the page (orientation, 12 mm margins, document name) for the report and begins the
// painter on `printer`; false when the printer cannot be painted on.
bool beginReport(QPainter &p, QPrinter &printer, const Report &report);
// Paints the lines with a painter already begun on `printer`, from the top of the current
// page, going on to new pages as needed; false when a new page cannot be started.
// `usedHeight`, if given, receives how far down the last page the lines reach (device pixels).
bool paintLines(QPainter &p, QPrinter &printer, const Report &report, double *usedHeight = nullptr);

// Where a PDF goes when there is no printer: given the proposed file name (after the title,
// with the time), the path the teacher chose, or empty when the teacher cancelled.
using PdfChooser = std::function<QString(const QString &name)>;

// Sets up the default printer (or the first one installed) or, with none or with forcePdf,
// an A4 PDF file (owner-only) where choosePdf says, and hands it to `paint`.
PrintOutcome printWith(const QString &title, const PdfChooser &choosePdf, bool forcePdf, const QString &docName,
                       const std::function<bool(QPrinter &)> &paint);

// Prints on the default printer (or the first one installed). With no printer, or with
// forcePdf, writes a PDF where choosePdf says. docName names the job (the report title if empty).
PrintOutcome printReport(const Report &report, const PdfChooser &choosePdf, bool forcePdf = false,
                         const QString &docName = {});

// What the teacher is told: empty after a normal print on a printer, or a cancelled save.
QString outcomeMessage(const PrintOutcome &outcome);

// The point size at which `columns` characters of the printer font fill at most `width`
// device pixels, never above `largest`.
double fittingPointSize(QPrinter &printer, int columns, double width, double largest);

} // namespace qv::ui
