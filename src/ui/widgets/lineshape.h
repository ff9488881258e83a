// A straight line drawn on a screen, used as a control: it can be placed, shown and
// hidden like the other controls, and lets the mouse through to what lies beneath. When the
// screen is scaled its box is scaled with it and the line (and its width) follows the box.
#pragma once

#include <QColor>
#include <QLine>
#include <QWidget>

namespace qv::ui {

class LineShape : public QWidget {
    Q_OBJECT
public:
    explicit LineShape(QWidget *parent, int width = 3, const QColor &color = Qt::black);

    // End points in the parent's coordinates (the design's, on a scaled screen).
    void setLine(const QPoint &p1, const QPoint &p2);
    // The line as drawn now, in the parent's coordinates.
    QLine line() const;
    // The pen's width, from the next setLine on.
    void setWidth(int width) { width_ = width; }

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QLineF shown() const;

    QLine line_;
    QRect box_; // the box set with the line
    int width_;
};

} // namespace qv::ui
