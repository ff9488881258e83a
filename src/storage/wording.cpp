#include "storage/wording.h"

#include <QRegularExpression>

namespace qv {

QString counted(qint64 n, const char *one, const char *many)
{
    return QString::number(n) + QLatin1Char(' ') + QString::fromUtf8(n == 1 ? one : many);
}

namespace {
QString shown(const QDate &d, const QTime &t, bool seconds)
{
    return d.toString(QStringLiteral("dd/MM/yyyy")) + QLatin1Char(' ')
        + t.toString(seconds ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
}
} // namespace

QString shownTime(const QDateTime &t, bool seconds)
{
    return t.isValid() ? shown(t.date(), t.time(), seconds) : QString();
}

QString shownStamp(const QString &stamp, bool seconds)
{
    // Date, hours and minutes, optional seconds; whatever follows (milliseconds, the tag) is
    // not shown.
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{4})-(\\d{2})-(\\d{2})[ T](\\d{2}):(\\d{2})(?::(\\d{2}))?(?:[.,]\\d+)?(?:\\s|$)"));
    const QRegularExpressionMatch m = re.match(stamp);
    if (m.hasMatch()) {
        const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        const QTime t(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
        if (d.isValid() && t.isValid())
            return shown(d, t, seconds); // as written: no time zone can shift or void it
    }
    return stamp.trimmed();
}

} // namespace qv
