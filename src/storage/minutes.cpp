#include "storage/minutes.h"

namespace qv {

namespace {
qint64 wholeMinute(const QDateTime &t)
{
    // Floor division, so instants before the epoch cut the same way.
    const qint64 s = t.toSecsSinceEpoch();
    return s >= 0 ? s / 60 : -((-s + 59) / 60);
}
} // namespace

int minuteBoundaries(const QDateTime &from, const QDateTime &to)
{
    if (!from.isValid() || !to.isValid())
        return 0;
    const qint64 d = wholeMinute(to) - wholeMinute(from);
    // A clock set back never takes minutes away; a stretch is capped to what fits a field.
    if (d < 0)
        return 0;
    return d > 32767 ? 32767 : int(d);
}

} // namespace qv
