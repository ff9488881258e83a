#include "storage/recordreader.h"

#include "storage/database.h"
#include "storage/tables.h"

namespace qv {

RecordReader::RecordReader(Database &db, const QString &table, const QStringList &fields,
                           const std::optional<QStringList> &present)
    : db_(db), table_(table), q_(db.sql())
{
    QStringList known;
    if (present)
        for (const QString &c : *present)
            known << c.toLower();
    for (const QString &f : fields) {
        const bool there = !present || known.contains(f.toLower());
        pos_ << (there ? int(select_.size()) : -1);
        if (there)
            select_ << f;
    }
    q_.setForwardOnly(true);
}

bool RecordReader::exec()
{
    const Sql sql(db_);
    // A table without any of the fields still gives its rows, all null.
    const QString columns = select_.isEmpty() ? QStringLiteral("NULL") : sql.list(select_);
    return q_.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(columns, sql.name(table_)));
}

QString RecordReader::text(int i) const
{
    const QVariant v = value(i);
    return v.isNull() ? QString() : v.toString();
}

std::optional<int> RecordReader::number(int i) const
{
    const QVariant v = value(i);
    if (v.isNull())
        return std::nullopt;
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

} // namespace qv
