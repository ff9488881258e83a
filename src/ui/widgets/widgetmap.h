// For the scripted tests only, built into quorvane_test and never into the installed program:
// when the environment names a file in QUORVANE_WIDGET_MAP, the program writes there, several
// times a second, every visible control of every visible window (object name, class, caption,
// global geometry, ticked state, whether it reacts to the mouse and has the focus), so that a
// driver outside the process can find what to click with real mouse events and the
// accessibility audit what to look for. A masked field's text is never written.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace qv::ui {

class WidgetMap : public QObject {
    Q_OBJECT
public:
    // Starts writing when QUORVANE_WIDGET_MAP is set; otherwise does nothing.
    static void installFromEnvironment(QObject *parent);
    QByteArray snapshot() const;

private:
    WidgetMap(const QString &file, QObject *parent);
    void write();
    QString file_;
    QTimer timer_;
    QByteArray last_;
};

} // namespace qv::ui
