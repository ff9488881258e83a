#include "ui/widgets/lineshape.h"

#include <QPainter>

namespace qv::ui {

LineShape::LineShape(QWidget *parent, int width, const QColor &color)
    : QWidget(parent), width_(width)
{
    // Its colour is its text colour, so that a change of the screen's colours reaches it.
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void LineShape::setLine(const QPoint &p1, const QPoint &p2)
{
    line_ = QLine(p1, p2);
    const int m = width_ + 1;
    box_ = QRect(p1, p2).normalized().adjusted(-m, -m, m, m);
    setGeometry(box_);
    update();
}

QLineF LineShape::shown() const
{
    // The line keeps its place within its box, however the box has been scaled.
    const qreal sx = box_.width() > 0 ? width() / qreal(box_.width()) : 1.0;
    const qreal sy = box_.height() > 0 ? height() / qreal(box_.height()) : 1.0;
    auto map = [&](const QPoint &p) { return QPointF((p.x() - box_.x()) * sx, (p.y() - box_.y()) * sy); };
    return QLineF(map(line_.p1()), map(line_.p2()));
}

QLine LineShape::line() const
{
    return shown().translated(pos()).toLine();
}

void LineShape::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal scale = box_.width() > 0 ? width() / qreal(box_.width()) : 1.0;
    p.setPen(QPen(palette().color(QPalette::WindowText), width_ * scale, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(shown());
}

} // namespace qv::ui
