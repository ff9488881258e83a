#include "storage/classmap.h"

namespace qv {

namespace {
constexpr const char *kLetters = "ABCDEFGHIL";   // letters shown on the labels
constexpr const char *kTableLetters = "ABCDEFGHJL"; // letters of the stored tables
} // namespace

QString classCaption(int index)
{
    if (index < 0 || index >= kClassCount)
        return {};
    return QStringLiteral("Prima  ") + QChar::fromLatin1(kLetters[index]);
}

QString classTable(int index)
{
    if (index < 0 || index >= kClassCount)
        return {};
    return QStringLiteral("prima-") + QChar::fromLatin1(kTableLetters[index]);
}

QStringList classTables()
{
    QStringList out;
    for (int i = 0; i < kClassCount; ++i)
        out << classTable(i);
    return out;
}

bool isClassTable(const QString &table)
{
    return classTables().contains(table);
}

} // namespace qv
