// The result matrix of the archive: one row of text cells per pupil record of a class,
// read in the table's own order. Row 0 and column 0 are never used, so cell (r, c) names
// pupil r and column c as the archive and its printouts count them.
#pragma once

#include "storage/modquorv.h"

#include <QString>
#include <array>
#include <functional>
#include <vector>

namespace qv {

inline constexpr int kMatrixColumns = 27; // columns 1..26
inline constexpr int kFirstScoreColumn = 3;
inline constexpr int kLastScoreColumn = 16;
inline constexpr int kArrivoColumn = 17;
inline constexpr int kSubColumn = 18;

class ResultMatrix {
public:
    using Row = std::array<QString, kMatrixColumns>;

    // numalunni: the number of rows read.
    int numalunni() const { return int(rows_.size()); }
    // The text of a cell; empty outside the matrix.
    const QString &cell(int r, int c) const;
    void clear() { rows_.clear(); }
    void append(const Row &row) { rows_.push_back(row); }

    // The completion flag of row r: arrivo 10 and sub 20.
    bool finished(int r) const;

private:
    std::vector<Row> rows_;
};

// The leading whole number of a text ("12abc" → 12, "" → 0), as a number read from a cell.
int leadingNumber(const QString &text);

// The record fields behind each column, in column order (1..26): one field, or two for the
// summed columns 3, 5 and 7.
struct MatrixColumn {
    int column;
    const char *first;
    const char *second; // nullptr unless the column is a sum
};
const std::array<MatrixColumn, 26> &matrixColumns();

// Fills a row from the field values of one record (by name).
ResultMatrix::Row matrixRow(const std::function<QVariant(const QString &)> &field);

// matrice: replaces the shared cursor rsclasse with a fresh cursor on tabellaclasse and
// reads that whole table into `valori`, in the table's own order. A table that cannot be
// read leaves `valori` empty and returns false.
bool matrice(Modquorv &st, ResultMatrix &valori);

} // namespace qv
