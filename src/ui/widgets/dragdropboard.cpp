#include "ui/widgets/dragdropboard.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace qv::ui {

namespace {
constexpr const char *kMime = "application/x-quorvane-source";
}

DragDropBoard::DragDropBoard(QWidget *screen) : QObject(screen), screen_(screen)
{
    screen_->installEventFilter(this);
}

void DragDropBoard::addSource(QLabel *label, int index)
{
    sources_.append({label, index});
    label->installEventFilter(this);
    label->setCursor(Qt::OpenHandCursor);
}

void DragDropBoard::addTarget(QLabel *label, int index)
{
    targets_.append({label, index});
    label->setAcceptDrops(true);
    label->installEventFilter(this);
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

void DragDropBoard::dropOn(int targetIndex, int sourceIndex)
{
    QLabel *src = nullptr;
    QLabel *dst = nullptr;
    for (const auto &s : sources_)
        if (s.second == sourceIndex)
            src = s.first;
    for (const auto &t : targets_)
        if (t.second == targetIndex)
            dst = t.first;
    if (!src || !dst)
        return;
    dst->setText(src->text());
    emit dropped(targetIndex, sourceIndex);
}

void DragDropBoard::markSelected(int sourceIndex, bool on)
{
    for (const auto &s : sources_) {
        if (s.second != sourceIndex)
            continue;
        if (on) {
            savedStyle_ = s.first->styleSheet();
            s.first->setStyleSheet(savedStyle_ + QStringLiteral(";border: 4px solid #d00000;"));
        } else {
            s.first->setStyleSheet(savedStyle_);
        }
    }
}

void DragDropBoard::clickSource(int sourceIndex)
{
    const bool same = selected_ == sourceIndex;
    clearSelection();
    if (!same) {
        selected_ = sourceIndex;
        markSelected(sourceIndex, true);
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
    if (selected_ >= 0)
        markSelected(selected_, false);
    selected_ = -1;
}

void DragDropBoard::startDrag(int sourceIndex)
{
    QLabel *src = nullptr;
    for (const auto &s : sources_)
        if (s.second == sourceIndex)
            src = s.first;
    if (!src)
        return;
    auto *drag = new QDrag(src);
    auto *mime = new QMimeData;
    mime->setData(kMime, QByteArray::number(sourceIndex));
    mime->setText(src->text());
    drag->setMimeData(mime);
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
    drag->exec(Qt::CopyAction);
}

bool DragDropBoard::eventFilter(QObject *watched, QEvent *event)
{
    const int si = sourceOf(watched);
    const int ti = targetOf(watched);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() != Qt::LeftButton)
            break;
        if (si >= 0) {
            pressedSource_ = si;
            pressPos_ = me->position().toPoint();
            return true;
        }
        if (ti < 0 && watched == screen_)
            clearSelection();
        break;
    }
    case QEvent::MouseMove: {
        auto *me = static_cast<QMouseEvent *>(event);
        if (si >= 0 && pressedSource_ == si && (me->buttons() & Qt::LeftButton)
            && (me->position().toPoint() - pressPos_).manhattanLength() >= 2) {
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
        if (si >= 0 && pressedSource_ == si) {
            pressedSource_ = -1;
            clickSource(si);
            return true;
        }
        if (ti >= 0) {
            clickTarget(ti);
            return true;
        }
        break;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove:
        if (ti >= 0) {
            auto *de = static_cast<QDropEvent *>(event);
            if (de->mimeData()->hasFormat(kMime)) {
                de->setDropAction(Qt::CopyAction);
                de->accept();
                return true;
            }
        }
        break;
    case QEvent::Drop:
        if (ti >= 0) {
            auto *de = static_cast<QDropEvent *>(event);
            if (de->mimeData()->hasFormat(kMime)) {
                bool ok = false;
                const int src = de->mimeData()->data(kMime).toInt(&ok);
                if (ok) {
                    de->setDropAction(Qt::CopyAction);
                    de->accept();
                    dropOn(ti, src);
                    return true;
                }
            }
        }
        break;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            clearSelection();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace qv::ui
