#include "storage/recordset.h"

#include "storage/database.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

namespace qv {

namespace {
QString quoted(const QString &name)
{
    QString n = name;
    n.replace('"', "\"\"");
    return '"' + n + '"';
}

// A value bound as Qt's SQLite driver binds it (small whole numbers too): whole numbers and truth values as integers,
// an empty text, date or byte array as NULL, dates and times as ISO text, the rest as text.
int bindFileValue(sqlite3_stmt *s, int i, const QVariant &v)
{
    auto text = [&](const QString &t) {
        return sqlite3_bind_text16(s, i, t.utf16(), int(t.size() * sizeof(QChar)), SQLITE_TRANSIENT);
    };
    if (v.isNull())
        return sqlite3_bind_null(s, i);
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return sqlite3_bind_int64(s, i, v.toLongLong());
    case QMetaType::Double:
        return sqlite3_bind_double(s, i, v.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        return b.isNull() ? sqlite3_bind_null(s, i) : sqlite3_bind_blob(s, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    case QMetaType::QDateTime: {
        const QDateTime d = v.toDateTime();
        return d.isNull() ? sqlite3_bind_null(s, i) : text(d.toString(Qt::ISODateWithMs));
    }
    case QMetaType::QTime: {
        const QTime t = v.toTime();
        return t.isNull() ? sqlite3_bind_null(s, i) : text(t.toString(QStringLiteral("hh:mm:ss.zzz")));
    }
    default: {
        const QString t = v.toString();
        return t.isNull() ? sqlite3_bind_null(s, i) : text(t);
    }
    }
}

// A column's value as Qt's SQLite driver gives it: integers as 64-bit, reals as double,
// NULL as a null text.
QVariant fileValue(sqlite3_stmt *s, int i)
{
    switch (sqlite3_column_type(s, i)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(s, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(s, i));
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(s, i));
        return QVariant(QByteArray(data, sqlite3_column_bytes(s, i)));
    }
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    default: {
        const auto *text = static_cast<const QChar *>(sqlite3_column_text16(s, i));
        return QVariant(QString(text, sqlite3_column_bytes16(s, i) / qsizetype(sizeof(QChar))));
    }
    }
}
} // namespace

Recordset::Recordset(Database &db, QString table, QStringList columns, QStringList textColumns, QString storeTable)
    : db_(&db), token_(db.token()), table_(std::move(table)), columns_(std::move(columns)),
      textColumns_(std::move(textColumns)), storeTable_(std::move(storeTable))
{
    QStringList q;
    for (const QString &c : columns_)
        q << quoted(c);
    selectList_ = q.join(QStringLiteral(", "));
}

QString Recordset::selectList() const
{
    return selectList_;
}

// Whole numbers read as 64-bit on both engines (the server's smallint comes as int).
QVariant Recordset::normalised(const QVariant &v)
{
    if (!v.isNull() && (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::Short))
        return QVariant(v.toLongLong());
    return v;
}

void Recordset::takeRow(const QSqlQuery &q, int first) const
{
    row_.clear();
    for (int i = 0; i < columns_.size(); ++i)
        row_ << normalised(q.value(first + i));
    rowGeneration_ = db_->writeGeneration();
    rowRead_ = true;
}

void Recordset::takeRow(sqlite3_stmt *s, int first) const
{
    // Filled in place: a move costs no new list.
    row_.resize(columns_.size());
    for (int i = 0; i < columns_.size(); ++i)
        row_[i] = normalised(fileValue(s, first + i));
    rowGeneration_ = db_->writeGeneration();
    rowRead_ = true;
}

Recordset::Found Recordset::readRow(const QString &key, const std::function<QString()> &build, const QVariantList &binds,
                                    int lead, QVariant *leading) const
{
    if (!db_->onServer()) {
        if (statementsConnection_ != db_->connectionGeneration()) {
            statements_.clear();
            fileStatements_.clear();
            statementsConnection_ = db_->connectionGeneration();
        }
        sqlite3_stmt *s = fileStatements_.value(key);
        if (!s) {
            s = db_->fileStatement(build(), &lastError_);
            if (!s)
                return Found::Failed;
            fileStatements_.insert(key, s);
        }
        int rc = SQLITE_OK;
        for (int i = 0; i < binds.size() && rc == SQLITE_OK; ++i)
            rc = bindFileValue(s, i + 1, binds.at(i));
        if (rc == SQLITE_OK)
            rc = sqlite3_step(s);
        Found found = Found::None;
        if (rc == SQLITE_ROW) {
            for (int i = 0; i < lead; ++i)
                leading[i] = fileValue(s, i);
            takeRow(s, lead);
            found = Found::Row;
        } else if (rc != SQLITE_DONE) {
            lastError_ = QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(s)));
            found = Found::Failed;
        }
        // Reset at once, so that no read is left open (a snapshot held, a checkpoint kept back).
        sqlite3_reset(s);
        return found;
    }
    QSqlQuery &q = prepared(key, build);
    for (const QVariant &b : binds)
        q.addBindValue(b);
    if (!q.exec()) {
        lastError_ = q.lastError().text();
        return Found::Failed;
    }
    if (!q.next()) {
        q.finish();
        return Found::None;
    }
    for (int i = 0; i < lead; ++i)
        leading[i] = q.value(i);
    takeRow(q, lead);
    q.finish();
    return Found::Row;
}

bool Recordset::currentRow() const
{
    if (rowRead_ && rowGeneration_ == db_->writeGeneration())
        return true;
    const Found found = readRow(QStringLiteral("\x01row"), [&] {
        return QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(selectList(), quoted(table_));
    }, {rowid_}, 0, nullptr);
    if (found != Found::Row) {
        if (found == Found::None)
            lastError_ = QStringLiteral("riga inesistente");
        rowRead_ = false;
        return false;
    }
    return true;
}

bool Recordset::alive() const
{
    return open_ && !token_.expired() && db_->ensureOpen();
}

QSqlQuery &Recordset::prepared(const QString &sql) const
{
    return prepared(sql, [&] { return sql; });
}

QSqlQuery &Recordset::prepared(const QString &key, const std::function<QString()> &build) const
{
    // Statements prepared on a connection since replaced are gone with it.
    if (statementsConnection_ != db_->connectionGeneration()) {
        statements_.clear();
        fileStatements_.clear();
        statementsConnection_ = db_->connectionGeneration();
    }
    auto it = statements_.find(key);
    if (it == statements_.end()) {
        QSqlQuery q(db_->sql());
        q.setForwardOnly(true);
        if (!q.prepare(build()))
            lastError_ = q.lastError().text();
        it = statements_.insert(key, q);
    }
    return *it;
}

bool Recordset::fail(const QString &what)
{
    lastError_ = what;
    return false;
}

// The key of the active index. Null keys sort first, before every number and text,
// so that every row has a comparable key and moves never skip a row.
QString Recordset::keyExpr() const
{
    if (index_.isEmpty())
        return QStringLiteral("rowid");
    return db_->dialect().indexKey(quoted(index_), textColumns_.contains(index_));
}

bool Recordset::setIndex(const QString &name)
{
    if (!open_)
        return fail(QStringLiteral("cursore chiuso"));
    if (name.isEmpty()) {
        index_.clear();
    } else {
        QString column;
        for (const QString &c : columns_)
            if (c.compare(name, Qt::CaseInsensitive) == 0)
                column = c;
        if (column.isEmpty())
            return fail(QStringLiteral("indice sconosciuto: %1").arg(name));
        index_ = column;
    }
    // The current row keeps its place; its key is read again in the new order.
    if (pos_ == Pos::OnRow)
        placeOn(rowid_);
    return true;
}

bool Recordset::placeOn(qint64 rowid)
{
    if (!alive())
        return fail(QStringLiteral("cursore chiuso"));
    QVariant key;
    const Found found = readRow(QStringLiteral("\x01place ") + index_, [&] {
        return QStringLiteral("SELECT %1, %2 FROM %3 WHERE rowid = ?").arg(keyExpr(), selectList(), quoted(table_));
    }, {rowid}, 1, &key);
    if (found == Found::Failed)
        return false;
    if (found == Found::None)
        return fail(QStringLiteral("riga inesistente"));
    key_ = key;
    rowid_ = rowid;
    pos_ = Pos::OnRow;
    deleted_ = false;
    return true;
}

bool Recordset::stepTo(const QString &where, const QVariantList &binds, bool descending)
{
    if (!alive())
        return fail(QStringLiteral("cursore chiuso"));
    if (mode_ != Mode::None)
        cancelUpdate();
    // Known by its shape (the index, the condition, the direction), so that a move neither
    // builds nor hashes the whole statement.
    const QString key = QStringLiteral("\x01step %1 %2 ").arg(descending ? 'D' : 'A').arg(index_) + where;
    QVariant leading[2];
    const Found found = readRow(key, [&] {
        const QString dir = descending ? QStringLiteral(" DESC") : QString();
        QString sql = QStringLiteral("SELECT rowid, %1, %2 FROM %3").arg(keyExpr(), selectList(), quoted(table_));
        if (!where.isEmpty())
            sql += QStringLiteral(" WHERE ") + where;
        if (index_.isEmpty())
            sql += QStringLiteral(" ORDER BY rowid%1 LIMIT 1").arg(dir);
        else
            sql += QStringLiteral(" ORDER BY %1%2, rowid%2 LIMIT 1").arg(keyExpr(), dir);
        return sql;
    }, binds, 2, leading);
    if (found != Found::Row)
        return false;
    rowid_ = leading[0].toLongLong();
    key_ = leading[1];
    pos_ = Pos::OnRow;
    deleted_ = false;
    return true;
}

bool Recordset::moveFirst()
{
    lastError_.clear();
    if (stepTo({}, {}, false))
        return true;
    if (!lastError_.isEmpty())
        return false;
    pos_ = Pos::Empty;
    return fail(QStringLiteral("nessun record"));
}

bool Recordset::moveLast()
{
    lastError_.clear();
    if (stepTo({}, {}, true))
        return true;
    if (!lastError_.isEmpty())
        return false;
    pos_ = Pos::Empty;
    return fail(QStringLiteral("nessun record"));
}

bool Recordset::moveNext()
{
    lastError_.clear();
    switch (pos_) {
    case Pos::AfterLast:
    case Pos::Empty:
        return fail(QStringLiteral("nessun record corrente"));
    case Pos::BeforeFirst:
        if (stepTo({}, {}, false))
            return true;
        break;
    case Pos::OnRow:
        if (index_.isEmpty()) {
            if (stepTo(QStringLiteral("rowid > ?"), {rowid_}, false))
                return true;
        } else {
            const QString k = keyExpr();
            if (stepTo(QStringLiteral("(%1 > ?) OR (%1 = ? AND rowid > ?)").arg(k),
                       {key_, key_, rowid_}, false))
                return true;
        }
        break;
    }
    if (!lastError_.isEmpty())
        return false;
    pos_ = Pos::AfterLast;
    return true;
}

bool Recordset::movePrevious()
{
    lastError_.clear();
    switch (pos_) {
    case Pos::BeforeFirst:
    case Pos::Empty:
        return fail(QStringLiteral("nessun record corrente"));
    case Pos::AfterLast:
        if (stepTo({}, {}, true))
            return true;
        break;
    case Pos::OnRow:
        if (index_.isEmpty()) {
            if (stepTo(QStringLiteral("rowid < ?"), {rowid_}, true))
                return true;
        } else {
            const QString k = keyExpr();
            if (stepTo(QStringLiteral("(%1 < ?) OR (%1 = ? AND rowid < ?)").arg(k),
                       {key_, key_, rowid_}, true))
                return true;
        }
        break;
    }
    if (!lastError_.isEmpty())
        return false;
    pos_ = Pos::BeforeFirst;
    return true;
}

bool Recordset::seek(const QString &op, const QVariant &key)
{
    lastError_.clear();
    noMatch_ = true;
    if (op != QLatin1String("="))
        return fail(QStringLiteral("confronto non previsto: %1").arg(op));
    if (index_.isEmpty())
        return fail(QStringLiteral("nessun indice impostato"));
    if (key.isNull())
        return false;
    if (stepTo(QStringLiteral("%1 = ?").arg(quoted(index_)), {key}, false)) {
        noMatch_ = false;
        return true;
    }
    return false;
}

int Recordset::recordCount() const
{
    if (!alive())
        return 0;
    QSqlQuery q(db_->sql());
    if (!q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(quoted(table_))) || !q.next()) {
        lastError_ = q.lastError().text();
        return 0;
    }
    return q.value(0).toInt();
}

QVariant Recordset::field(int position) const
{
    if (position < 0 || position >= columns_.size()) {
        lastError_ = QStringLiteral("campo inesistente: %1").arg(position);
        return {};
    }
    if (!alive() || pos_ != Pos::OnRow || deleted_) {
        lastError_ = QStringLiteral("nessun record corrente");
        return {};
    }
    if (!currentRow())
        return {};
    return row_.at(position);
}

QString Recordset::column(const QString &name) const
{
    for (const QString &c : columns_)
        if (c.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return {};
}

QVariant Recordset::field(const QString &name) const
{
    const QString col = column(name);
    if (col.isEmpty()) {
        lastError_ = QStringLiteral("campo inesistente: %1").arg(name);
        return {};
    }
    return field(int(columns_.indexOf(col)));
}

bool Recordset::edit()
{
    if (!alive())
        return fail(QStringLiteral("cursore chiuso"));
    if (pos_ != Pos::OnRow || deleted_)
        return fail(QStringLiteral("nessun record corrente"));
    buffer_.clear();
    mode_ = Mode::Edit;
    return true;
}

bool Recordset::editAt(const QString &bookmark)
{
    const bool standing = alive() && db_->dialect().updateReturnsRow() && pos_ == Pos::OnRow && !deleted_
        && bookmark == QString::number(rowid_);
    if (!standing && !setBookmark(bookmark))
        return false;
    return edit();
}

bool Recordset::addNew()
{
    if (!alive())
        return fail(QStringLiteral("cursore chiuso"));
    buffer_.clear();
    mode_ = Mode::AddNew;
    return true;
}

bool Recordset::setField(const QString &name, const QVariant &value)
{
    if (mode_ == Mode::None)
        return fail(QStringLiteral("scrittura senza Edit o AddNew"));
    const QString col = column(name);
    if (col.isEmpty())
        return fail(QStringLiteral("campo inesistente: %1").arg(name));
    // Small integer types are bound as whole numbers, never as text.
    QVariant v = value;
    switch (v.typeId()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        v = QVariant(v.toInt());
        break;
    default:
        break;
    }
    for (auto &entry : buffer_) {
        if (entry.first == col) {
            entry.second = v;
            return true;
        }
    }
    buffer_.append({col, v});
    return true;
}

bool Recordset::setField(int position, const QVariant &value)
{
    if (position < 0 || position >= columns_.size())
        return fail(QStringLiteral("campo inesistente: %1").arg(position));
    return setField(columns_.at(position), value);
}

void Recordset::cancelUpdate()
{
    buffer_.clear();
    mode_ = Mode::None;
}

bool Recordset::update()
{
    return write({});
}

bool Recordset::update(const QList<QPair<QString, QVariant>> &expect)
{
    return write(expect);
}

bool Recordset::write(const QList<QPair<QString, QVariant>> &expect)
{
    changedElsewhere_ = false;
    if (mode_ == Mode::None)
        return fail(QStringLiteral("Update senza Edit o AddNew"));
    if (!alive()) {
        cancelUpdate();
        return fail(QStringLiteral("cursore chiuso"));
    }
    if (mode_ == Mode::Edit && buffer_.isEmpty()) {
        cancelUpdate();
        return true;
    }
    // The statement is known by its shape: the mode, the fields written, those of the
    // condition (and which are empty), the index whose key the server gives back. It is
    // built and prepared the first time only: a store of the same fields is parsed once.
    QList<int> written;
    bool keyChanged = false;
    QString key = mode_ == Mode::Edit ? QStringLiteral("\x01update ") : QStringLiteral("\x01insert ");
    for (const auto &entry : buffer_) {
        written << int(columns_.indexOf(entry.first));
        key += QChar(char16_t(0x100 + written.last()));
        keyChanged = keyChanged || entry.first == index_;
    }
    QStringList conditions;
    if (mode_ == Mode::Edit) {
        key += QLatin1Char('|');
        for (const auto &e : expect) {
            const QString col = column(e.first);
            if (col.isEmpty()) {
                cancelUpdate();
                return fail(QStringLiteral("campo inesistente: %1").arg(e.first));
            }
            conditions << QStringLiteral(" AND %1 %2").arg(quoted(col), e.second.isNull() ? QStringLiteral("IS NULL") : QStringLiteral("= ?"));
            key += QChar(char16_t(0x100 + columns_.indexOf(col))) + QLatin1Char(e.second.isNull() ? 'n' : 'v');
        }
        key += QLatin1Char('|') + index_;
    }
    auto build = [&] {
        QStringList names;
        for (const auto &entry : buffer_)
            names << quoted(entry.first);
        if (mode_ == Mode::Edit) {
            QStringList sets;
            for (const QString &n : std::as_const(names))
                sets << n + QStringLiteral(" = ?");
            QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3")
                              .arg(quoted(storeTable_.isEmpty() ? table_ : storeTable_), sets.join(", "), conditions.join(QString()));
            if (db_->dialect().updateReturnsRow())
                sql += QStringLiteral(" RETURNING %1, %2").arg(keyExpr(), names.join(", "));
            return sql;
        }
        if (names.isEmpty())
            return QStringLiteral("INSERT INTO %1 DEFAULT VALUES%2").arg(quoted(table_), db_->dialect().returningRowId());
        const QStringList marks(names.size(), QStringLiteral("?"));
        return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)%4")
            .arg(quoted(table_), names.join(", "), marks.join(", "), db_->dialect().returningRowId());
    };
    const bool adding = mode_ == Mode::AddNew;
    const bool returning = !adding && db_->dialect().updateReturnsRow();
    lastError_.clear();
    QSqlQuery &q = prepared(key, build);
    if (!lastError_.isEmpty()) {
        const QString why = lastError_;
        statements_.remove(key); // prepared afresh by the next try
        cancelUpdate();
        return fail(why);
    }
    for (const auto &entry : buffer_)
        q.addBindValue(entry.second);
    if (!adding) {
        q.addBindValue(rowid_);
        for (const auto &e : expect)
            if (!e.second.isNull())
                q.addBindValue(e.second);
    }
    cancelUpdate();
    const bool rowCurrent = rowRead_ && rowGeneration_ == db_->writeGeneration();
    db_->noteWrite();
    if (!q.exec()) {
        const QString why = q.lastError().text();
        q.finish();
        return fail(why);
    }
    qint64 id = 0;
    if (adding)
        id = db_->dialect().returningRowId().isEmpty() ? q.lastInsertId().toLongLong()
                                                       : (q.next() ? q.value(0).toLongLong() : 0);
    int rows = 0;
    if (returning) {
        // The key and the fields as the server wrote them; the rest of a row read since the
        // last write stands, so the row is not read again after the store.
        rows = q.next() ? 1 : 0;
        if (rows) {
            key_ = q.value(0);
            if (rowCurrent) {
                for (int i = 0; i < written.size(); ++i)
                    row_[written.at(i)] = normalised(q.value(1 + i));
                rowGeneration_ = db_->writeGeneration();
            }
        }
    } else if (!adding) {
        rows = q.numRowsAffected();
    }
    q.finish();
    if (adding) {
        lastModified_ = QString::number(id);
    } else {
        if (rows != 1) {
            rowRead_ = false;
            // Only on this road: whether the row is gone or holds what another wrote.
            if (!expect.isEmpty()) {
                QSqlQuery &probe = prepared(QStringLiteral("SELECT 1 FROM %1 WHERE rowid = ?").arg(quoted(table_)));
                probe.addBindValue(rowid_);
                changedElsewhere_ = probe.exec() && probe.next();
                probe.finish();
                if (changedElsewhere_)
                    return fail(QStringLiteral("il record è stato cambiato da un altro computer"));
            }
            return fail(QStringLiteral("il record non esiste più"));
        }
        lastModified_ = QString::number(rowid_);
        // The row's place in the index moves only when its key was written.
        if (keyChanged && !returning)
            placeOn(rowid_);
    }
    return true;
}

bool Recordset::remove()
{
    if (!alive())
        return fail(QStringLiteral("cursore chiuso"));
    if (pos_ != Pos::OnRow || deleted_)
        return fail(QStringLiteral("nessun record corrente"));
    QSqlQuery q(db_->sql());
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoted(table_)));
    q.addBindValue(rowid_);
    db_->noteWrite();
    if (!q.exec())
        return fail(q.lastError().text());
    // The cursor keeps the place of the removed row, so MoveNext goes on from there.
    deleted_ = true;
    return true;
}

QString Recordset::bookmark() const
{
    if (pos_ != Pos::OnRow || deleted_)
        return {};
    return QString::number(rowid_);
}

bool Recordset::setBookmark(const QString &bookmark)
{
    if (!alive())
        return fail(QStringLiteral("cursore chiuso"));
    bool ok = false;
    const qint64 id = bookmark.toLongLong(&ok);
    if (!ok)
        return fail(QStringLiteral("segnalibro non valido"));
    if (mode_ != Mode::None)
        cancelUpdate();
    return placeOn(id);
}

bool Recordset::move(int rows, const QString &bookmark)
{
    if (!setBookmark(bookmark))
        return false;
    for (; rows > 0; --rows)
        if (!moveNext())
            return false;
    for (; rows < 0; ++rows)
        if (!movePrevious())
            return false;
    return true;
}

std::unique_ptr<Recordset> Recordset::clone() const
{
    if (token_.expired())
        return nullptr;
    auto c = std::make_unique<Recordset>(*db_, table_, columns_, textColumns_, storeTable_);
    c->index_ = index_;
    c->pos_ = pos_;
    c->rowid_ = rowid_;
    c->key_ = key_;
    c->deleted_ = deleted_;
    c->row_ = row_;
    c->rowGeneration_ = rowGeneration_;
    c->rowRead_ = rowRead_;
    c->open_ = open_;
    return c;
}

void Recordset::close()
{
    statements_.clear();
    fileStatements_.clear();
    cancelUpdate();
    open_ = false;
    pos_ = Pos::BeforeFirst;
}

} // namespace qv
