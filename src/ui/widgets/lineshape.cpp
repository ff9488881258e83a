#include "ui/widgets/lineshape.h"

#include <QPainter>

namespace qv::ui {

LineShape::LineShape(QWidget *parent, int width, const QColor &color)
    : QWidget(parent), width_(width), color_(color)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void LineShape::setLine(const QPoint &p1, const QPoint &p2)
{
    line_ = QLine(p1, p2);
    const int m = width_ + 1;
    setGeometry(QRect(p1, p2).normalized().adjusted(-m, -m, m, m));
    update();
}

void LineShape::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color_, width_, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(line_.translated(-pos()));
}

} // namespace qv::ui
