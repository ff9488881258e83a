#include "insight/yearcompare.h"

#include "storage/classmap.h"
#include "storage/database.h"
#include "storage/schoolyear.h"

#include <QLocale>
#include <QStringList>

namespace qv::insight {

namespace {
QString percent(double v)
{
    return QLocale(QLocale::Italian).toString(v, 'f', 1) + QStringLiteral(" %");
}
} // namespace

YearSummary summarize(int year, const std::vector<PupilRow> &rows)
{
    YearSummary y;
    y.year = year;
    y.pupils = int(rows.size());
    const ClassStats s = classStats(rows);
    for (int i = 0; i < kPartCount; ++i) {
        y.meanPercent[size_t(i)] = s.parts[size_t(i)].meanPercent;
        y.finished[size_t(i)] = s.parts[size_t(i)].finished;
    }
    std::array<int, kRankedLevels> at{};
    for (const PupilLevels &l : classLevels(rows)) {
        const Level level = l.levels[size_t(Area::Complessivo)];
        if (level == Level::NonFinita)
            continue;
        ++y.levelled;
        ++at[size_t(level)];
    }
    for (int k = 0; k < kRankedLevels; ++k)
        y.levelShare[size_t(k)] = y.levelled > 0 ? 100.0 * at[size_t(k)] / y.levelled : 0.0;
    return y;
}

bool summarizeYear(Database &db, int year, YearSummary &out, QString *error)
{
    std::vector<PupilRow> all;
    for (const QString &t : classTables()) {
        std::vector<PupilRow> rows;
        if (!readClass(db, t, rows, error))
            return false;
        all.insert(all.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    }
    out = summarize(year, all);
    return true;
}

QString comparisonReading(const std::vector<YearSummary> &years)
{
    QStringList out;
    for (const YearSummary &y : years) {
        QStringList tests;
        for (int i = 0; i < kPartCount; ++i)
            tests << QStringLiteral("%1 %2").arg(parts()[size_t(i)].shortTitle,
                                                 y.finished[size_t(i)] > 0 ? percent(y.meanPercent[size_t(i)]) : QStringLiteral("—"));
        QStringList levels;
        for (int k = 0; k < kRankedLevels; ++k)
            levels << QStringLiteral("%1 %2").arg(levelName(Level(k)),
                                                  y.levelled > 0 ? percent(y.levelShare[size_t(k)]) : QStringLiteral("—"));
        out << QStringLiteral("%1: %2; livelli: %3").arg(yearCaption(y.year), tests.join(QStringLiteral(", ")),
                                                         levels.join(QStringLiteral(", ")));
    }
    return out.join(QStringLiteral(". "));
}

} // namespace qv::insight
