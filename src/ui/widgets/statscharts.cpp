#include "ui/widgets/statscharts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QHorizontalBarSeries>
#include <QBarSet>
#include <QChart>
#include <QValueAxis>

#include "storage/schoolyear.h"

namespace qv::ui {

namespace {

// Categories along `along` (bottom for upright bars, left for lying ones), values across.
QChart *barChart(QAbstractBarSeries *series, const QStringList &categories, double top, const QString &title,
                 Qt::Alignment along = Qt::AlignBottom)
{
    auto *chart = new QChart;
    chart->addSeries(series);
    chart->setTitle(title);
    QFont f = chart->titleFont();
    f.setPointSize(11);
    f.setBold(true);
    chart->setTitleFont(f);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(4, 4, 4, 4));
    QFont labels = chart->titleFont();
    labels.setPointSize(10);
    labels.setBold(false);
    auto *x = new QBarCategoryAxis;
    x->append(categories);
    x->setLabelsFont(labels);
    chart->addAxis(x, along);
    series->attachAxis(x);
    auto *y = new QValueAxis;
    y->setRange(0, top);
    y->setLabelFormat(QStringLiteral("%d"));
    y->setLabelsFont(labels);
    chart->addAxis(y, along == Qt::AlignBottom ? Qt::AlignLeft : Qt::AlignBottom);
    series->attachAxis(y);
    return chart;
}

} // namespace

QChart *distributionChart(const insight::ClassStats &stats, insight::Part part)
{
    const insight::PartStats &ps = stats.parts[size_t(part)];
    auto *set = new QBarSet(QStringLiteral("Alunni"));
    QStringList bands;
    int most = 1;
    for (int b = 0; b < insight::kBandCount; ++b) {
        *set << ps.bands[size_t(b)];
        most = qMax(most, ps.bands[size_t(b)]);
        bands << insight::bandLabel(b);
    }
    set->setColor(QColor(0x2e, 0x6d, 0xb4));
    // Lying bars: the band names fit beside them in a narrow chart.
    auto *series = new QHorizontalBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsInsideEnd);
    const insight::PartInfo &info = insight::parts()[size_t(part)];
    QChart *chart = barChart(series, bands, most,
                             ps.finished == 1 ? QStringLiteral("%1 (1 alunno)").arg(info.shortTitle)
                                              : QStringLiteral("%1 (%2 alunni)").arg(info.shortTitle).arg(ps.finished),
                             Qt::AlignLeft);
    chart->legend()->hide();
    // Whole pupils on the axis: one tick per pupil up to ten, else a few.
    auto *y = qobject_cast<QValueAxis *>(chart->axes(Qt::Horizontal).value(0));
    if (y)
        y->setTickCount(most <= 10 ? most + 1 : 6);
    return chart;
}

QChart *profileChart(const insight::Profile &profile)
{
    auto *classe = new QBarSet(QStringLiteral("Classe"));
    auto *scuola = new QBarSet(QStringLiteral("Scuola"));
    QStringList names;
    for (int i = 0; i < insight::kPartCount; ++i) {
        *classe << profile.classe[size_t(i)];
        *scuola << profile.scuola[size_t(i)];
        names << insight::parts()[size_t(i)].shortTitle;
    }
    classe->setColor(QColor(0x2e, 0x6d, 0xb4));
    scuola->setColor(QColor(0xe0, 0x8a, 0x1e));
    auto *series = new QBarSeries;
    series->append(classe);
    series->append(scuola);
    QChart *chart = barChart(series, names, 100,
                             QStringLiteral("Media di ogni prova in percentuale del massimo: classe e scuola"));
    auto *y = qobject_cast<QValueAxis *>(chart->axes(Qt::Vertical).value(0));
    if (y)
        y->setTickCount(6);
    chart->legend()->setAlignment(Qt::AlignBottom);
    QFont lf = chart->legend()->font();
    lf.setPointSize(11);
    chart->legend()->setFont(lf);
    return chart;
}

QChart *yearsChart(const std::vector<insight::YearSummary> &years, bool levels)
{
    static const QColor colours[] = {QColor(0x2e, 0x6d, 0xb4), QColor(0xe0, 0x8a, 0x1e), QColor(0x3c, 0x8c, 0x3c),
                                     QColor(0x8e, 0x44, 0xad), QColor(0xc0, 0x39, 0x2b), QColor(0x7f, 0x7f, 0x7f)};
    auto *series = new QBarSeries;
    for (size_t k = 0; k < years.size(); ++k) {
        const insight::YearSummary &y = years[k];
        auto *set = new QBarSet(qv::yearCaption(y.year));
        if (levels)
            for (double v : y.levelShare)
                *set << v;
        else
            for (double v : y.meanPercent)
                *set << v;
        set->setColor(colours[k % (sizeof colours / sizeof colours[0])]);
        series->append(set);
    }
    QStringList names;
    if (levels)
        for (int k = 0; k < insight::kRankedLevels; ++k)
            names << insight::levelName(insight::Level(k));
    else
        for (int i = 0; i < insight::kPartCount; ++i)
            names << insight::parts()[size_t(i)].shortTitle;
    QChart *chart = barChart(series, names, 100,
                             levels ? QStringLiteral("Alunni per livello (tutte le prove), in percentuale, anno per anno")
                                    : QStringLiteral("Media della scuola in ogni prova, in percentuale del massimo, anno per anno"));
    auto *y = qobject_cast<QValueAxis *>(chart->axes(Qt::Vertical).value(0));
    if (y)
        y->setTickCount(6);
    chart->legend()->setAlignment(Qt::AlignRight);
    return chart;
}

} // namespace qv::ui
