// A table cursor with the operations the screens rely on: index and seek, moves,
// field reads, edit / add-new / update, delete, bookmarks, clone.
//
// The cursor is live: every move reads its row whole, in the same statement that finds it
// (one round trip, not one per field), and the row is read again when anything was written
// through the same database handle since, so what one cursor writes every other cursor on
// the table sees at once. On the server an Update gives back the fields it wrote, which the
// cursor keeps instead of reading the row again. Rows written by another computer are seen at the next move or
// bookmark. Moves in an index follow the key, and rows with equal keys follow the order in
// which they were added (the row number: SQLite's rowid, the server's identity column).
//
// Every operation returns false on failure and sets lastError(); callers may ignore it.
#pragma once

#include <QHash>
#include <QList>
#include <QSqlQuery>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

struct sqlite3_stmt;

namespace qv {

class Database;

class Recordset {
public:
    // `storeTable`, when given, is the relation an Edit's Update writes the rows through
    // (Database::storeTable); reads, AddNew and Delete go to `table`.
    Recordset(Database &db, QString table, QStringList columns, QStringList textColumns = {}, QString storeTable = {});

    const QString &table() const { return table_; }
    const QStringList &fieldNames() const { return columns_; }
    int fieldCount() const { return columns_.size(); }

    // Index: "nome", "data", "ordine" (the column of the same name); an empty name
    // returns to the table's own order.
    bool setIndex(const QString &name);
    QString index() const { return index_; }

    // Seek("=", key): the first row, in index order, whose key equals the value.
    bool seek(const QString &op, const QVariant &key);
    bool noMatch() const { return noMatch_; }

    bool moveFirst();
    bool moveLast();
    bool moveNext();
    bool movePrevious();
    bool bof() const { return pos_ == Pos::BeforeFirst || pos_ == Pos::Empty; }
    bool eof() const { return pos_ == Pos::AfterLast || pos_ == Pos::Empty; }
    bool hasCurrent() const { return pos_ == Pos::OnRow && !deleted_; }

    int recordCount() const;

    // Value of a field of the current row, or a null QVariant for a field never written
    // (and when there is no current row).
    QVariant field(const QString &name) const;
    QVariant field(int position) const;

    // Edit / AddNew open a write buffer; setField fills it; update() writes it as one
    // statement. AddNew does not move the cursor; lastModified() names the new row.
    bool edit();
    // Edit on the row of `bookmark`: the cursor goes there first (setBookmark), unless it
    // stands on that row already and the Update gives back what it wrote (the server): then
    // the Update's own answer says whether the row still exists, and it is not read twice.
    bool editAt(const QString &bookmark);
    bool addNew();
    bool setField(const QString &name, const QVariant &value);
    bool setField(int position, const QVariant &value);
    bool update();
    // Update of an Edit written only if the row's fields named in `expect` still hold those
    // values (a null value: the field is empty). The condition is part of the UPDATE's
    // WHERE, so the store stays one statement. When the row holds other values nothing is
    // written and changedElsewhere() is true until the next update.
    bool update(const QList<QPair<QString, QVariant>> &expect);
    bool changedElsewhere() const { return changedElsewhere_; }
    void cancelUpdate();
    bool editing() const { return mode_ != Mode::None; }

    bool remove(); // Delete: removes the current row

    // A bookmark is the rowid, carried as text.
    QString bookmark() const;
    bool setBookmark(const QString &bookmark);
    bool move(int rows, const QString &bookmark); // Move 0, bookmark
    QString lastModified() const { return lastModified_; }

    std::unique_ptr<Recordset> clone() const;
    void close();
    bool isOpen() const { return open_; }

    QString lastError() const { return lastError_; }

private:
    enum class Pos { BeforeFirst, OnRow, AfterLast, Empty };
    enum class Mode { None, Edit, AddNew };

    QString keyExpr() const;
    enum class Found { Row, None, Failed };
    // Runs the read statement known by `key` (`build` makes it the first time) with `binds`;
    // on a row, its fields are taken from the column `lead` on, and the `lead` columns before
    // them go to `leading`. On a file through SQLite's own statement, which reads only the
    // values; on the server through Qt's.
    Found readRow(const QString &key, const std::function<QString()> &build, const QVariantList &binds, int lead,
                  QVariant *leading) const;
    bool stepTo(const QString &where, const QVariantList &binds, bool descending);
    bool placeOn(qint64 rowid);
    // The current row's values, read again when a write may have changed them.
    bool currentRow() const;
    void takeRow(const QSqlQuery &q, int first) const;
    void takeRow(sqlite3_stmt *s, int first) const;
    static QVariant normalised(const QVariant &v);
    QString selectList() const;
    bool fail(const QString &what);
    QString column(const QString &name) const;
    bool write(const QList<QPair<QString, QVariant>> &expect);

    bool alive() const;
    // A prepared statement kept for the cursor's life; the caller binds, runs and finishes it.
    QSqlQuery &prepared(const QString &sql) const;
    // The same, kept under `key` (a statement's shape, short to hash); `build` makes the
    // statement the first time.
    QSqlQuery &prepared(const QString &key, const std::function<QString()> &build) const;

    Database *db_;
    std::weak_ptr<int> token_;
    QString table_;
    QStringList columns_;
    QStringList textColumns_;
    QString storeTable_;
    QString selectList_;
    QString index_;
    bool open_ = true;
    Pos pos_ = Pos::BeforeFirst;
    bool deleted_ = false;
    qint64 rowid_ = 0;
    QVariant key_;
    bool noMatch_ = false;
    Mode mode_ = Mode::None;
    QList<QPair<QString, QVariant>> buffer_;
    QString lastModified_;
    bool changedElsewhere_ = false;
    mutable QString lastError_;
    mutable QVariantList row_;
    mutable quint64 rowGeneration_ = 0;
    mutable bool rowRead_ = false;
    mutable QHash<QString, QSqlQuery> statements_;
    mutable QHash<QString, sqlite3_stmt *> fileStatements_; // owned by the Database
    mutable int statementsConnection_ = 0;
};

} // namespace qv
