// The floor of the start-up probe: a window of the program's screen size holding one
// label, timed as the program's start screen is (QUORVANE_STARTUP_PROBE), from its launch
// to the end of its first paint. It links Qt Widgets only and uses the program's default
// font, so what is left of the difference is the program's own start-up: its libraries, the
// database, the start screen.
#include "ui/screensize.h"
#include "ui/startupprobe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QLabel>
#include <QWidget>

int main(int argc, char **argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication qapp(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 12));

    QWidget window;
    window.setFixedSize(qv::ui::kScreenWidth, qv::ui::kScreenHeight);
    auto *label = new QLabel(QStringLiteral("Quorvane"), &window);
    label->move(20, 20);
    window.show();
    window.installEventFilter(new qv::ui::PaintProbe(QStringLiteral("empty window"), sinceStart, &qapp));
    return qapp.exec();
}
