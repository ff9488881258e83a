// Minutes of work: whole minute boundaries crossed between two instants
// (both cut to the minute, then subtracted: 10:00:59 to 10:01:01 counts 1).
#pragma once

#include <QDateTime>

namespace qv {

int minuteBoundaries(const QDateTime &from, const QDateTime &to);

} // namespace qv
