// A straight line drawn on a screen, used as a control: it can be placed, shown and
// hidden like the other controls, and lets the mouse through to what lies beneath.
#pragma once

#include <QColor>
#include <QLine>
#include <QWidget>

namespace qv::ui {

class LineShape : public QWidget {
    Q_OBJECT
public:
    explicit LineShape(QWidget *parent, int width = 3, const QColor &color = Qt::black);

    // End points in the parent's coordinates.
    void setLine(const QPoint &p1, const QPoint &p2);
    QLine line() const { return line_; }

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QLine line_;
    int width_;
    QColor color_;
};

} // namespace qv::ui
