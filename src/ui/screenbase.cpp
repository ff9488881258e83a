#include "ui/screenbase.h"

#include "startup/datafolder.h"

#include <QPainter>

namespace qv::ui {

ScreenBase::ScreenBase(Application &app, const QString &caption) : QWidget(nullptr), app_(app)
{
    setWindowTitle(caption);
    setFixedSize(kScreenWidth, kScreenHeight);
    setAutoFillBackground(true);
}

bool ScreenBase::loadBackground()
{
    QPixmap p;
    if (!p.load(session().dataFile(QString::fromLatin1(kBackgroundFile))))
        return false;
    background_ = p;
    update();
    return true;
}

void ScreenBase::paintEvent(QPaintEvent *e)
{
    if (!background_.isNull()) {
        QPainter painter(this);
        painter.drawPixmap(rect(), background_);
    }
    QWidget::paintEvent(e);
}

} // namespace qv::ui
