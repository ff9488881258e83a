// Drag and drop between labels, shared by the four analysis screens. The screen names
// which labels are sources and which are targets; a drop copies the source's caption into
// the target and is reported through dropped(). Dragging starts as soon as the button is
// held on a source and the pointer moves. For touch screens and pupils who cannot drag, a
// plain click on a source selects it (highlighted) and the next click on a target drops
// it there; Esc or a click elsewhere clears the selection, but not a click on a scroll bar
// that brings a target into sight. The highlight is a frame laid over the selected source,
// so the screen's own colours of its labels are never touched.
// The keyboard takes the same path: sources and boxes take the focus, Enter or Space on a
// source selects it (and the focus moves to the boxes), Enter or Space on a box places the
// selection there (and the focus goes back to the sources); the arrows move the focus
// within the sources or within the boxes. Assistive technology sees each of them as a push
// button, a box named by its place and content ("casella 3, vuota", "casella 3: Nome").
#pragma once

#include <QColor>
#include <QLabel>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>

class QMimeData;

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
    // The frame that marks the selected source (nullptr before the first selection).
    QWidget *selectionMark() const { return mark_; }

    // The payload a drag of this source carries; a drop event bearing it on a target is
    // what a real drag delivers.
    QMimeData *mimeFor(int sourceIndex) const;

signals:
    // The target's caption is already the source's caption when this is emitted.
    void dropped(int targetIndex, int sourceIndex);
    // A drag of the source has begun (the system then runs it until the button is released).
    void dragStarted(int sourceIndex);
    // That drag is over, dropped or not.
    void dragEnded(int sourceIndex);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int sourceOf(QObject *o) const;
    int targetOf(QObject *o) const;
    QLabel *sourceLabel(int index) const;
    QLabel *targetLabel(int index) const;
    int sourceInMime(const QMimeData *mime) const;
    bool keyPress(QLabel *label, int sourceIndex, int targetIndex, int key);
    // The next (or previous) shown label of the list, in reading order.
    static QLabel *neighbour(const QList<QPair<QLabel *, int>> &list, QLabel *from, bool forward);
    static QLabel *firstShown(const QList<QPair<QLabel *, int>> &list);
    bool onScreen(QObject *o) const;
    void startDrag(int sourceIndex);
    void markSelected(int sourceIndex);
    // The accessible descriptions of the sources and boxes for the source now selected.
    void describeSelection();

    QWidget *screen_;
    QList<QPair<QLabel *, int>> sources_;
    QList<QPair<QLabel *, int>> targets_;
    int selected_ = -1;
    int pressedSource_ = -1;
    QPoint pressPos_;
    bool doubleClick_ = false;
    QPointer<QWidget> mark_; // a child of the screen, gone with it
    QPointer<QLabel> lastSource_, lastTarget_; // where the keyboard moves the focus back to
};

} // namespace qv::ui
