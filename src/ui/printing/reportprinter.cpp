#include "ui/printing/reportprinter.h"

#include "storage/privatefiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace qv::ui {

namespace {

QFont printFont(double points)
{
    QFont f(QStringLiteral("Liberation Mono"));
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    f.setPointSizeF(points);
    return f;
}

QString safeFileName(const QString &title)
{
    QString out;
    for (const QChar c : title)
        out += (c.isLetterOrNumber() || c == QLatin1Char(' ') || c == QLatin1Char('-')) ? c : QLatin1Char('_');
    return out.simplified();
}

} // namespace

double fittingPointSize(QPrinter &printer, int columns, double width, double largest)
{
    const QFont probe = printFont(10.0);
    const QFontMetricsF fm(probe, &printer);
    const double perChar = fm.horizontalAdvance(QString(100, QLatin1Char('0'))) / 100.0;
    if (perChar <= 0 || columns <= 0)
        return largest;
    // A small margin keeps rounding inside the page.
    const double size = 10.0 * width / (perChar * columns) * 0.98;
    return qMin(largest, qFloor(size * 4) / 4.0);
}

bool beginReport(QPainter &p, QPrinter &printer, const Report &report)
{
    printer.setPageOrientation(report.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    if (printer.docName().isEmpty())
        printer.setDocName(report.title);
    return p.begin(&printer);
}

bool paintReport(QPrinter &printer, const Report &report)
{
    QPainter p;
    if (!beginReport(p, printer, report))
        return false;
    if (!paintLines(p, printer, report)) {
        p.end();
        return false;
    }
    return p.end();
}

bool paintLines(QPainter &p, QPrinter &printer, const Report &report, double *usedHeight)
{
    const QRectF area = printer.pageRect(QPrinter::DevicePixel);
    const double largest = report.landscape ? 10.0 : 11.0;
    const QFont font = printFont(fittingPointSize(printer, report.columns, area.width(), largest));
    p.setFont(font);
    p.setPen(Qt::black);
    const QFontMetricsF fm(font, &printer);
    const double step = fm.lineSpacing();
    double y = fm.ascent();
    for (const QString &line : report.lines) {
        if (y + fm.descent() > area.height()) {
            if (!printer.newPage())
                return false;
            y = fm.ascent();
        }
        if (!line.isEmpty())
            p.drawText(QPointF(0, y), line);
        y += step;
    }
    if (usedHeight)
        *usedHeight = y - fm.ascent();
    return true;
}

PrintOutcome printWith(const QString &title, const PdfChooser &choosePdf, bool forcePdf, const QString &docName,
                       const std::function<bool(QPrinter &)> &paint)
{
    PrintOutcome out;
    QPrinterInfo info;
    if (!forcePdf) {
        info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) {
            const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
            if (!all.isEmpty())
                info = all.first();
        }
    }
    if (!info.isNull()) {
        QPrinter printer(info, QPrinter::HighResolution);
        printer.setDocName(docName.isEmpty() ? title : docName);
        out.printer = info.printerName();
        out.ok = paint(printer);
        return out;
    }
    out.pdf = true;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    out.pdfPath = choosePdf ? choosePdf(safeFileName(title) + QStringLiteral(" ") + stamp + QStringLiteral(".pdf"))
                            : QString();
    if (out.pdfPath.isEmpty()) {
        out.cancelled = true;
        return out;
    }
    // The printer writes into a file that is already owner-only: a pupil's results.
    if (!preparePrivateFile(out.pdfPath))
        return out;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out.pdfPath);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(docName.isEmpty() ? title : docName);
    out.ok = paint(printer) && QFileInfo(out.pdfPath).size() > 0;
    return out;
}

PrintOutcome printReport(const Report &report, const PdfChooser &choosePdf, bool forcePdf, const QString &docName)
{
    return printWith(report.title, choosePdf, forcePdf, docName,
                     [&](QPrinter &printer) { return paintReport(printer, report); });
}

QString outcomeMessage(const PrintOutcome &o)
{
    if (o.cancelled)
        return {};
    if (!o.ok && o.pdf)
        return QStringLiteral("Non c'è nessuna stampante installata e non sono riuscito a scrivere la stampa "
                              "nel file \"%1\".").arg(QDir::toNativeSeparators(o.pdfPath));
    if (!o.ok)
        return QStringLiteral("La stampa sulla stampante \"%1\" non è riuscita.").arg(o.printer);
    if (o.pdf)
        return QStringLiteral("Non c'è nessuna stampante installata: ho scritto la stampa nel file\n\"%1\".")
            .arg(QDir::toNativeSeparators(o.pdfPath));
    return {};
}

} // namespace qv::ui
