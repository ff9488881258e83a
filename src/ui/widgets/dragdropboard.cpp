#include "ui/widgets/dragdropboard.h"

#include "ui/access/labelbutton.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace qv::ui {

namespace {

constexpr const char *kMime = "application/x-quorvane-source";
// Movement, in pixels, that turns a press on a source into a drag. Small, so the drag
// starts as soon as the pointer moves, yet a plain click with a shaky hand or a finger
// still selects.
constexpr int kDragDistance = 3;
constexpr int kMarkWidth = 4;

} // namespace

DragDropBoard::DragDropBoard(QWidget *screen) : QObject(screen), screen_(screen)
{
    // One filter on the whole application sees the events of the sources and targets
    // before any filter of the screen, and the presses and keys anywhere in the screen's
    // window that clear a selection, even on controls that keep their presses.
    qApp->installEventFilter(this);
}

void DragDropBoard::addSource(QLabel *label, int index)
{
    sources_.append({label, index});
    label->setCursor(Qt::OpenHandCursor);
    label->setFocusPolicy(Qt::StrongFocus);
    setLabelButton(
        label, [label] { return label->text().simplified(); }, [this, index] { clickSource(index); });
}

void DragDropBoard::addTarget(QLabel *label, int index)
{
    targets_.append({label, index});
    label->setAcceptDrops(true);
    label->setFocusPolicy(Qt::StrongFocus);
    setLabelButton(
        label,
        [label, index] {
            const QString content = label->text().simplified();
            return content.isEmpty() ? QStringLiteral("casella %1, vuota").arg(index + 1)
                                     : QStringLiteral("casella %1: %2").arg(index + 1).arg(content);
        },
        [this, index] { clickTarget(index); });
}

QLabel *DragDropBoard::firstShown(const QList<QPair<QLabel *, int>> &list)
{
    for (const auto &e : list)
        if (e.first->isVisible() && e.first->isEnabled())
            return e.first;
    return nullptr;
}

QLabel *DragDropBoard::neighbour(const QList<QPair<QLabel *, int>> &list, QLabel *from, bool forward)
{
    QList<QLabel *> shown;
    for (const auto &e : list)
        if (e.first->isVisible() && e.first->isEnabled())
            shown.append(e.first);
    // Reading order: top to bottom, then left to right.
    std::sort(shown.begin(), shown.end(), [](const QLabel *a, const QLabel *b) {
        const QPoint pa = a->mapTo(a->window(), QPoint(0, 0)), pb = b->mapTo(b->window(), QPoint(0, 0));
        return pa.y() != pb.y() ? pa.y() < pb.y() : pa.x() < pb.x();
    });
    const qsizetype at = shown.indexOf(from);
    if (at < 0)
        return nullptr;
    const qsizetype next = at + (forward ? 1 : -1);
    return next >= 0 && next < shown.size() ? shown.at(next) : nullptr;
}

bool DragDropBoard::keyPress(QLabel *label, int sourceIndex, int targetIndex, int key)
{
    const auto &group = sourceIndex >= 0 ? sources_ : targets_;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (!label->isEnabled())
            return true;
        if (sourceIndex >= 0) {
            lastSource_ = label;
            clickSource(sourceIndex);
            QLabel *to = lastTarget_ && lastTarget_->isVisible() ? lastTarget_.data() : firstShown(targets_);
            if (selected_ >= 0 && to)
                to->setFocus(Qt::OtherFocusReason);
        } else {
            lastTarget_ = label;
            const bool placing = selected_ >= 0;
            clickTarget(targetIndex);
            if (placing && lastSource_ && lastSource_->isVisible())
                lastSource_->setFocus(Qt::OtherFocusReason);
        }
        return true;
    case Qt::Key_Up:
    case Qt::Key_Left:
    case Qt::Key_Down:
    case Qt::Key_Right:
        if (QLabel *to = neighbour(group, label, key == Qt::Key_Down || key == Qt::Key_Right))
            to->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Escape:
        clearSelection();
        return true;
    default:
        return false;
    }
}

int DragDropBoard::sourceOf(QObject *o) const
{
    for (const auto &s : sources_)
        if (s.first == o)
            return s.second;
    return -1;
}

int DragDropBoard::targetOf(QObject *o) const
{
    for (const auto &t : targets_)
        if (t.first == o)
            return t.second;
    return -1;
}

QLabel *DragDropBoard::sourceLabel(int index) const
{
    for (const auto &s : sources_)
        if (s.second == index)
            return s.first;
    return nullptr;
}

QLabel *DragDropBoard::targetLabel(int index) const
{
    for (const auto &t : targets_)
        if (t.second == index)
            return t.first;
    return nullptr;
}

bool DragDropBoard::onScreen(QObject *o) const
{
    auto *w = qobject_cast<QWidget *>(o);
    return w && (w == screen_ || screen_->isAncestorOf(w));
}

QMimeData *DragDropBoard::mimeFor(int sourceIndex) const
{
    auto *mime = new QMimeData;
    // The board's address tells its own drags from any other drag.
    mime->setData(kMime, QByteArray::number(quintptr(this)) + ':' + QByteArray::number(sourceIndex));
    if (QLabel *src = sourceLabel(sourceIndex))
        mime->setText(src->text());
    return mime;
}

int DragDropBoard::sourceInMime(const QMimeData *mime) const
{
    if (!mime || !mime->hasFormat(kMime))
        return -1;
    const QList<QByteArray> parts = mime->data(kMime).split(':');
    bool okBoard = false;
    bool okIndex = false;
    if (parts.size() != 2 || parts.at(0).toULongLong(&okBoard) != quintptr(this) || !okBoard)
        return -1;
    const int index = parts.at(1).toInt(&okIndex);
    return okIndex && sourceLabel(index) ? index : -1;
}

void DragDropBoard::dropOn(int targetIndex, int sourceIndex)
{
    QLabel *src = sourceLabel(sourceIndex);
    QLabel *dst = targetLabel(targetIndex);
    if (!src || !dst)
        return;
    dst->setText(src->text());
    emit dropped(targetIndex, sourceIndex);
}

void DragDropBoard::markSelected(int sourceIndex)
{
    QLabel *src = sourceLabel(sourceIndex);
    if (!src || !src->parentWidget())
        return;
    if (!mark_) {
        auto *f = new QFrame(src->parentWidget());
        f->setObjectName(QStringLiteral("DragDropSelection"));
        f->setAttribute(Qt::WA_TransparentForMouseEvents);
        f->setStyleSheet(QStringLiteral("QFrame#DragDropSelection { border: %1px solid #d00000; background: transparent; }")
                             .arg(kMarkWidth));
        mark_ = f;
    } else if (mark_->parentWidget() != src->parentWidget()) {
        mark_->setParent(src->parentWidget());
    }
    // As wide as the source's frame, which grows with the screen.
    const int mw = std::max(kMarkWidth, src->frameWidth() + 2);
    mark_->setGeometry(src->geometry().adjusted(-mw, -mw, mw, mw));
    mark_->raise();
    mark_->show();
}

void DragDropBoard::clickSource(int sourceIndex)
{
    const bool same = selected_ == sourceIndex;
    clearSelection();
    if (!same && sourceLabel(sourceIndex)) {
        selected_ = sourceIndex;
        markSelected(sourceIndex);
        describeSelection();
    }
}

void DragDropBoard::clickTarget(int targetIndex)
{
    if (selected_ < 0)
        return;
    const int s = selected_;
    clearSelection();
    dropOn(targetIndex, s);
}

void DragDropBoard::clearSelection()
{
    const bool had = selected_ >= 0;
    selected_ = -1;
    if (mark_)
        mark_->hide();
    if (had)
        describeSelection();
}

void DragDropBoard::describeSelection()
{
    // A screen reader reads a description with the name: on the source what it carries and
    // how to place it, on each box what Enter puts there.
    QLabel *src = selected_ >= 0 ? sourceLabel(selected_) : nullptr;
    const QString carried = src ? src->text().simplified() : QString();
    for (const auto &s : sources_)
        s.first->setAccessibleDescription(
            s.first == src ? QStringLiteral("Hai preso «%1». Con le frecce scegli la casella dove metterlo e premi "
                                            "Invio; Esc per annullare.")
                                 .arg(carried)
                           : QString());
    for (const auto &t : targets_)
        t.first->setAccessibleDescription(src ? QStringLiteral("Premi Invio per mettere qui «%1».").arg(carried)
                                              : QString());
}

void DragDropBoard::startDrag(int sourceIndex)
{
    QLabel *src = sourceLabel(sourceIndex);
    if (!src)
        return;
    auto *drag = new QDrag(src);
    drag->setMimeData(mimeFor(sourceIndex));
    // The drag outline: a frame the size of the label, following the pointer.
    QPixmap outline(src->size());
    outline.fill(Qt::transparent);
    {
        QPainter p(&outline);
        p.setPen(QPen(Qt::black, 2, Qt::DotLine));
        p.drawRect(outline.rect().adjusted(1, 1, -2, -2));
    }
    drag->setPixmap(outline);
    drag->setHotSpot(pressPos_);
    emit dragStarted(sourceIndex);
    drag->exec(Qt::CopyAction);
    emit dragEnded(sourceIndex);
}

bool DragDropBoard::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    const int si = sourceOf(watched);
    const int ti = targetOf(watched);

    if (si < 0 && ti < 0) {
        // Events of the rest of the application: only presses and Esc on this screen's
        // window, and its hiding, concern the board. A press on a scroll bar scrolls to a box
        // out of sight and keeps what was picked.
        if (type == QEvent::MouseButtonPress && onScreen(watched) && !qobject_cast<QScrollBar *>(watched))
            clearSelection();
        else if (type == QEvent::KeyPress && onScreen(watched)
                 && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            clearSelection();
        else if (type == QEvent::Hide && watched == screen_) {
            clearSelection();
            pressedSource_ = -1;
        }
        return false;
    }
    switch (type) {
    case QEvent::KeyPress: {
        auto *ke = static_cast<QKeyEvent *>(event);
        if (ke->isAutoRepeat() && ke->key() != Qt::Key_Up && ke->key() != Qt::Key_Down)
            return false;
        return keyPress(static_cast<QLabel *>(watched), si, ti, ke->key());
    }
    case QEvent::MouseButtonPress: {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() != Qt::LeftButton)
            break;
        if (si >= 0) {
            if (!static_cast<QWidget *>(watched)->isEnabled())
                return true;
            pressedSource_ = si;
            pressPos_ = me->position().toPoint();
            doubleClick_ = false;
            return true;
        }
        // A target keeps its press: passed on to the screen it would clear the selection
        // before the release could place it.
        return true;
    }
    case QEvent::MouseMove: {
        auto *me = static_cast<QMouseEvent *>(event);
        if (si >= 0 && pressedSource_ == si && (me->buttons() & Qt::LeftButton)
            && (me->position().toPoint() - pressPos_).manhattanLength() >= kDragDistance) {
            pressedSource_ = -1;
            clearSelection();
            startDrag(si);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() != Qt::LeftButton)
            break;
        if (si >= 0) {
            const bool wasPressed = pressedSource_ == si;
            pressedSource_ = -1;
            // The second click of a double click leaves the source selected.
            if (wasPressed && !(doubleClick_ && selected_ == si))
                clickSource(si);
            doubleClick_ = false;
            return true;
        }
        clickTarget(ti);
        return true;
    }
    case QEvent::MouseButtonDblClick:
        // A double click selects, whether it comes before the second release or after.
        if (si >= 0 && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            doubleClick_ = true;
            if (selected_ != si)
                clickSource(si);
            return true;
        }
        return ti >= 0;
    case QEvent::DragEnter:
    case QEvent::DragMove:
        if (ti >= 0) {
            auto *de = static_cast<QDropEvent *>(event);
            if (sourceInMime(de->mimeData()) >= 0) {
                de->setDropAction(Qt::CopyAction);
                de->accept();
            } else {
                de->ignore();
            }
            return true;
        }
        break;
    case QEvent::Drop:
        if (ti >= 0) {
            auto *de = static_cast<QDropEvent *>(event);
            const int src = sourceInMime(de->mimeData());
            if (src >= 0) {
                de->setDropAction(Qt::CopyAction);
                de->accept();
                dropOn(ti, src);
            } else {
                de->ignore();
            }
            return true;
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace qv::ui
