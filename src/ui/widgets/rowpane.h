// Rows of controls (events with their boxes) in a box that scrolls when the pupil's larger
// text makes them taller than the box; at the design's size they fit and nothing scrolls.
// The screen lays the rows out on rows() with a layout (or places them there itself); the box
// keeps rows() as tall as they reach. A control of the rows that takes the keyboard focus is scrolled into view (the
// first with all that lies above it), and
// while a drag runs (followDrag) the rows scroll when the pointer is held near the box's
// top or bottom edge, so that a date can be dropped on any event.
#pragma once

#include <QScrollArea>

class QTimer;

namespace qv::ui {

class RowPane : public QScrollArea {
    Q_OBJECT
public:
    // `name` names the box; `accessibleName` is read out for it.
    RowPane(const QString &name, const QString &accessibleName, QWidget *parent);

    QWidget *rows() const { return rows_; }
    // Whether the rows are taller than the box now.
    bool scrolls() const;
    // Starts or stops scrolling after the pointer while a drag runs.
    void followDrag(bool on);
    // One step of that: scrolls if `at` (in the box's coordinates) lies near its top or bottom
    // edge, within its width; how far it scrolled, upwards negative.
    int scrollToward(QPoint at);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitRows();

    QWidget *rows_;
    QTimer *drag_;
};

} // namespace qv::ui
