// Small helpers of the archive's GUI tests: the texts of a list, and a picture of a window
// saved when QUORVANE_SCREENSHOTS names a folder (to look at what a test showed).
#pragma once

#include <QDir>
#include <QListWidget>
#include <QStringList>

namespace qv::test {

inline QStringList listTexts(const QListWidget *l)
{
    QStringList out;
    for (int i = 0; i < l->count(); ++i)
        out << l->item(i)->text();
    return out;
}

inline void screenshot(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("QUORVANE_SCREENSHOTS");
    if (!dir.isEmpty())
        w->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

} // namespace qv::test
