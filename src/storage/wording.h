// Italian wording shared by the program's messages and lists: a number with the noun that
// agrees with it, and moments as a teacher reads them, one format everywhere.
#pragma once

#include <QDateTime>
#include <QString>

namespace qv {

// "1 risultato", "3 risultati": `n` followed by `one` or `many`, whichever agrees with it.
QString counted(qint64 n, const char *one, const char *many);

// "10/12/2026 09:04"; with `seconds` "10/12/2026 09:04:55", where two moments may fall in
// one minute (the copies of the results). Empty for an invalid moment.
QString shownTime(const QDateTime &t, bool seconds = false);

// A stored moment ("2026-12-10 09:04:55.218 f67b57d9", the `data` of a record, or the
// deletion time of the bin) as shownTime() shows it: the random tag and the milliseconds
// stay out of sight. A value in no such shape (a record from another program) is shown as
// it is, blanks trimmed.
QString shownStamp(const QString &stamp, bool seconds = false);

} // namespace qv
