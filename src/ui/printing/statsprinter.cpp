#include "ui/printing/statsprinter.h"

#include "insight/statsreport.h"
#include "ui/widgets/statscharts.h"

#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QPainter>
#include <QPrinter>
#include <memory>

namespace qv::ui {

namespace {

// Draws a chart laid out at `size` logical pixels into `target` (device pixels): vector
// graphics and real text, so the printout stays sharp and readable by text tools.
void drawChart(QPainter &p, QChart *chart, QSizeF size, const QRectF &target)
{
    QGraphicsScene scene;
    scene.addItem(chart); // the scene owns the chart from here
    chart->setGeometry(QRectF(QPointF(0, 0), size));
    scene.setSceneRect(chart->geometry());
    scene.render(&p, target, scene.sceneRect(), Qt::KeepAspectRatio);
}

} // namespace

bool paintStatistics(QPrinter &printer, const insight::ClassInsight &ci, const QString &caption)
{
    const Report report = insight::statsReport(ci, caption);
    QPainter p;
    if (!beginReport(p, printer, report))
        return false;
    bool ok = paintLines(p, printer, report);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const QRectF page0(0, 0, page.width(), page.height());

    // The profile across the top half of a page of its own.
    ok = ok && printer.newPage();
    if (ok)
        drawChart(p, profileChart(ci.profile), QSizeF(760, 480),
                  QRectF(page0.topLeft(), QSizeF(page0.width(), page0.height() * 0.48)));
    // The eight distributions, two by two, on the next page.
    ok = ok && printer.newPage();
    if (ok) {
        // A heading says what the bars count; the charts fill the rest of the page.
        const QFontMetricsF fm(p.font(), &printer);
        p.drawText(QPointF(0, fm.ascent()),
                   QStringLiteral("FASCE DI PUNTEGGIO: alunni che hanno finito la prova, per percentuale del massimo"));
        const double top = fm.lineSpacing() * 2;
        const double w = page0.width() / 2, h = (page0.height() - top) / 4;
        for (int i = 0; i < insight::kPartCount; ++i) {
            const QRectF cell(page0.left() + (i % 2) * w, top + (i / 2) * h, w, h);
            drawChart(p, distributionChart(ci.stats, insight::Part(i)), QSizeF(380, 250),
                      cell.adjusted(w * 0.02, h * 0.02, -w * 0.02, -h * 0.02));
        }
    }
    return p.end() && ok;
}

PrintOutcome printStatistics(const insight::ClassInsight &ci, const QString &caption, const PdfChooser &choosePdf,
                             bool forcePdf, const QString &docName)
{
    const QString title = QStringLiteral("Quorvane - statistiche della classe %1").arg(caption.simplified());
    return printWith(title, choosePdf, forcePdf, docName,
                     [&](QPrinter &printer) { return paintStatistics(printer, ci, caption); });
}

} // namespace qv::ui
