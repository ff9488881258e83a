#include "insight/chartreading.h"

#include "insight/statsreport.h"

#include <QStringList>

namespace qv::insight {

namespace {

QString pupils(int n)
{
    return n == 1 ? QStringLiteral("1 alunno") : QStringLiteral("%1 alunni").arg(n);
}

QString percent(double value, int count)
{
    return count > 0 ? figure(value, count) + QStringLiteral(" %") : figure(value, count);
}

} // namespace

QString distributionReading(const ClassStats &stats, Part part)
{
    const PartStats &ps = stats.parts[size_t(part)];
    QStringList bands;
    for (int b = 0; b < kBandCount; ++b)
        bands << bandLabel(b) + QStringLiteral(": ") + pupils(ps.bands[size_t(b)]);
    return QStringLiteral("Alunni per fascia di punteggio: ") + bands.join(QStringLiteral("; ")) + QLatin1Char('.');
}

QString profileReading(const Profile &profile)
{
    QStringList rows;
    for (int i = 0; i < kPartCount; ++i)
        rows << QStringLiteral("%1: classe %2, scuola %3")
                    .arg(parts()[size_t(i)].shortTitle, percent(profile.classe[size_t(i)], profile.classeCount[size_t(i)]),
                         percent(profile.scuola[size_t(i)], profile.scuolaCount[size_t(i)]));
    return QStringLiteral("Media in percentuale del massimo. ") + rows.join(QStringLiteral("; ")) + QLatin1Char('.');
}

} // namespace qv::insight
