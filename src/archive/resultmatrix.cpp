#include "archive/resultmatrix.h"

#include "storage/classmap.h"
#include "storage/recordreader.h"
#include "storage/recordset.h"

#include <functional>

namespace qv {

namespace {
const QString kEmpty;

QString text(const QVariant &v)
{
    return v.isNull() ? QString() : v.toString();
}
} // namespace

const QString &ResultMatrix::cell(int r, int c) const
{
    if (r < 1 || r > numalunni() || c < 1 || c >= kMatrixColumns)
        return kEmpty;
    return rows_[size_t(r - 1)][size_t(c)];
}

bool ResultMatrix::finished(int r) const
{
    return leadingNumber(cell(r, kArrivoColumn)) == 10 && leadingNumber(cell(r, kSubColumn)) == 20;
}

int leadingNumber(const QString &text)
{
    const QString t = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) {
        negative = t[i] == '-';
        ++i;
    }
    long long n = 0;
    for (; i < t.size() && t[i].isDigit() && n < 1000000000LL; ++i)
        n = n * 10 + t[i].digitValue();
    return int(negative ? -n : n);
}

const std::array<MatrixColumn, 26> &matrixColumns()
{
    static const std::array<MatrixColumn, 26> cols = {{
        {1, "nome", nullptr},          {2, "data", nullptr},
        {3, "fatti1", "fatti2"},       {4, "lessico1", nullptr},
        {5, "inferen1", "inferen2"},   {6, "scopi2", nullptr},
        {7, "sintesi1", "sintesi2"},   {8, "gramsem", nullptr},
        {9, "gramcom", nullptr},       {10, "logsem", nullptr},
        {11, "frasi1", nullptr},       {12, "causasem", nullptr},
        {13, "causacom", nullptr},     {14, "cronolog", nullptr},
        {15, "elemfis", nullptr},      {16, "elempol", nullptr},
        {17, "arrivo", nullptr},       {18, "sub", nullptr},
        {19, "temlettura", nullptr},   {20, "temgram", nullptr},
        {21, "temlogica", nullptr},    {22, "temfrasi", nullptr},
        {23, "temcause", nullptr},     {24, "temcrono", nullptr},
        {25, "temfisica", nullptr},    {26, "tempolitica", nullptr},
    }};
    return cols;
}

ResultMatrix::Row matrixRow(const std::function<QVariant(const QString &)> &field)
{
    ResultMatrix::Row row;
    for (const MatrixColumn &mc : matrixColumns()) {
        QString &cell = row[size_t(mc.column)];
        const QVariant a = field(QString::fromLatin1(mc.first));
        if (!mc.second) {
            cell = text(a);
        } else {
            // A sum needs both halves: a test half done shows as not yet scored.
            const QVariant b = field(QString::fromLatin1(mc.second));
            bool okA = false, okB = false;
            const qlonglong x = a.toLongLong(&okA), y = b.toLongLong(&okB);
            if (!a.isNull() && !b.isNull() && okA && okB)
                cell = QString::number(x + y);
        }
        if (mc.column >= kFirstScoreColumn && mc.column <= kLastScoreColumn && cell.isEmpty())
            cell = QStringLiteral("0");
    }
    return row;
}

bool matrice(Modquorv &st, ResultMatrix &valori)
{
    valori.clear();
    if (!st.dbrisultati || !isClassTable(st.tabellaclasse))
        return false;
    st.rsclasse = st.dbrisultati->openRecordset(st.tabellaclasse);
    if (!st.rsclasse)
        return false;
    // The fields behind the columns, read by name in one statement; the cursor just opened
    // knows the table's columns.
    QStringList fields;
    for (const MatrixColumn &mc : matrixColumns()) {
        fields << QString::fromLatin1(mc.first);
        if (mc.second)
            fields << QString::fromLatin1(mc.second);
    }
    RecordReader in(*st.dbrisultati, st.tabellaclasse, fields, st.rsclasse->fieldNames());
    if (!in.exec())
        return false;
    while (in.next())
        valori.append(matrixRow([&](const QString &name) { return in.value(int(fields.indexOf(name))); }));
    // A table that stops reading half-way gives no matrix rather than part of one.
    if (in.error().isValid()) {
        valori.clear();
        return false;
    }
    return true;
}

} // namespace qv
