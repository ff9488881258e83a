// A screen's controls found by object name, as the screen names them, rather than through its
// members: a test keeps working when a screen's insides or layout change, and fails when a
// control loses its name (which the scripted tests and screen readers rely on). A missing
// control, one of another type, or two of one name end the run with a message naming it.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QWidget>

namespace qv::test {

// The children of `screen` named `name`, leaving out those of a dialog opened from it: a
// window of its own, with controls of its own.
template <class T>
QList<T *> named(const QObject *screen, const QString &name)
{
    QList<T *> found = screen->findChildren<T *>(name);
    if (const auto *own = qobject_cast<const QWidget *>(screen))
        found.removeIf([own](T *c) {
            const auto *w = qobject_cast<const QWidget *>(static_cast<const QObject *>(c));
            return w && w->window() != own->window();
        });
    return found;
}

template <class T>
T *control(const QObject *screen, const QString &name)
{
    const QList<T *> found = named<T>(screen, name);
    if (found.size() != 1)
        qFatal("%s: %d controls named \"%s\" of the type asked for, not one", qPrintable(screen->objectName()),
               int(found.size()), qPrintable(name));
    return found.first();
}

// The control `k` of a row of them: "Check1", 2 is "Check1_2".
template <class T>
T *control(const QObject *screen, const QString &name, int k)
{
    return control<T>(screen, name + QLatin1Char('_') + QString::number(k));
}

// Every control of a row in order ("Label2_0", "Label2_1", … up to the first missing);
// at least one.
template <class T>
QList<T *> controlRow(const QObject *screen, const QString &name)
{
    QList<T *> row;
    while (named<T>(screen, name + QLatin1Char('_') + QString::number(row.size())).size() == 1)
        row << control<T>(screen, name, int(row.size()));
    if (row.isEmpty())
        qFatal("%s: no row of controls named \"%s_0\", \"%s_1\" …", qPrintable(screen->objectName()), qPrintable(name),
               qPrintable(name));
    return row;
}

} // namespace qv::test
