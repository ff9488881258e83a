#include "ui/printing/statsprinter.h"

#include "insight/statsreport.h"
#include "ui/widgets/statscharts.h"

#include <QBarCategoryAxis>
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

// A layout size for the profile chart of the given aspect (width / height) in which the
// category labels are not cut: each test's column at least as wide as its name.
QSizeF profileLayoutSize(QChart *chart, double aspect)
{
    double widest = 0;
    int categories = 0;
    if (auto *axis = qobject_cast<QBarCategoryAxis *>(chart->axes(Qt::Horizontal).value(0))) {
        const QFontMetricsF fm(axis->labelsFont());
        for (const QString &c : axis->categories())
            widest = qMax(widest, fm.horizontalAdvance(c));
        categories = int(axis->count());
        axis->setTruncateLabels(false);
    }
    // The value axis and the margins take about 80 pixels; a third of a name's width between names.
    const double w = qMax(760.0, categories * widest * 1.35 + 80);
    return QSizeF(w, w / aspect);
}

} // namespace

bool paintStatistics(QPrinter &printer, const insight::ClassInsight &ci, const QString &caption)
{
    const Report report = insight::statsReport(ci, caption);
    QPainter p;
    if (!beginReport(p, printer, report))
        return false;
    double y = 0;
    bool ok = paintLines(p, printer, report, &y);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const double width = page.width(), height = page.height();
    const QFontMetricsF fm(p.font(), &printer);
    const double gap = fm.lineSpacing();
    // The charts follow the text down the page; a new page only when the next one cannot fit.
    auto place = [&](double h) {
        if (ok && y > 0 && y + h > height) {
            ok = printer.newPage();
            y = 0;
        }
        return ok;
    };

    // The profile across the page, laid out wide enough for every test's name to stand whole.
    const double profileH = width * 0.45;
    y += gap;
    if (place(profileH)) {
        QChart *chart = profileChart(ci.profile);
        drawChart(p, chart, profileLayoutSize(chart, width / profileH), QRectF(0, y, width, profileH));
        y += profileH + gap;
    }
    // The eight distributions, two by two, each row where it fits; the heading stays with
    // the first row. On A4 the profile and all four rows share one page.
    const double w = width / 2, h = w * 0.45;
    for (int row = 0; row < (insight::kPartCount + 1) / 2; ++row) {
        const double head = row == 0 ? gap * 2 : 0;
        if (!place(head + h))
            break;
        if (row == 0) {
            p.drawText(QPointF(0, y + fm.ascent()),
                       QStringLiteral("FASCE DI PUNTEGGIO: alunni che hanno finito la prova, per percentuale del massimo"));
            y += head;
        }
        for (int col = 0; col < 2; ++col) {
            const int i = row * 2 + col;
            if (i >= insight::kPartCount)
                break;
            const QRectF cell(col * w, y, w, h);
            QChart *chart = distributionChart(ci.stats, insight::Part(i));
            for (QAbstractAxis *axis : chart->axes())
                axis->setTruncateLabels(false);
            // Laid out larger than on screen so the band names keep their room in a flat cell.
            drawChart(p, chart, QSizeF(440, 440 * 0.45),
                      cell.adjusted(w * 0.02, h * 0.02, -w * 0.02, -h * 0.02));
        }
        y += h;
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
