// Drag and drop between labels, shared by the four analysis screens. The screen names
// which labels are sources and which are targets; a drop copies the source's caption into
// the target and is reported through dropped(). Dragging starts as soon as the button is
// held on a source and the pointer moves. For touch screens and pupils who cannot drag, a
// plain click on a source selects it (highlighted) and the next click on a target drops
// it there; Esc or a click elsewhere clears the selection.
#pragma once

#include <QColor>
#include <QLabel>
#include <QList>
#include <QObject>
#include <QPoint>

namespace qv::ui {

class DragDropBoard : public QObject {
    Q_OBJECT
public:
    explicit DragDropBoard(QWidget *screen);

    void addSource(QLabel *label, int index);
    void addTarget(QLabel *label, int index);

    // A drop of source `sourceIndex` on target `targetIndex`, as a real drop does it.
    void dropOn(int targetIndex, int sourceIndex);

    // Click-to-place.
    void clickSource(int sourceIndex);
    void clickTarget(int targetIndex);
    void clearSelection();
    int selected() const { return selected_; }

signals:
    // The target's caption is already the source's caption when this is emitted.
    void dropped(int targetIndex, int sourceIndex);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int sourceOf(QObject *o) const;
    int targetOf(QObject *o) const;
    void startDrag(int sourceIndex);
    void markSelected(int sourceIndex, bool on);

    QWidget *screen_;
    QList<QPair<QLabel *, int>> sources_;
    QList<QPair<QLabel *, int>> targets_;
    int selected_ = -1;
    int pressedSource_ = -1;
    QPoint pressPos_;
    QString savedStyle_;
};

} // namespace qv::ui
