#include "ui/widgets/rowpane.h"

#include "ui/access/look.h"

#include <QApplication>
#include <QChildEvent>
#include <QCursor>
#include <QLayout>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

namespace qv::ui {

namespace {

constexpr int kDragTick = 40; // ms between two scroll steps while a drag is held near an edge

} // namespace

RowPane::RowPane(const QString &name, const QString &accessibleName, QWidget *parent)
    : QScrollArea(parent), rows_(new QWidget), drag_(new QTimer(this))
{
    setObjectName(name);
    setAccessibleName(accessibleName);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(false);
    setFocusPolicy(Qt::NoFocus);
    // A bar wide enough to grab, scaled with the screen; the screen leaves it room. Its sheet
    // is the bar's own: on the box it would restyle the rows and undo their colours.
    setHouseScrollBar(verticalScrollBar());
    rows_->setObjectName(name + QStringLiteral("Righe"));
    setWidget(rows_);
    // The screen's background shows between the rows.
    rows_->setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    rows_->installEventFilter(this);
    viewport()->installEventFilter(this);

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (!now || !rows_->isAncestorOf(now))
            return;
        // The first control that takes the focus brings what lies above it (a question over
        // its options) into view with it.
        const QList<QWidget *> all = rows_->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        const bool first = std::none_of(all.begin(), all.end(), [now](const QWidget *w) {
            return w != now && w->isVisibleTo(w->window()) && (w->focusPolicy() & Qt::TabFocus)
                   && w->geometry().top() < now->geometry().top();
        });
        if (first)
            verticalScrollBar()->setValue(0);
        else
            ensureWidgetVisible(now, 0, now->height() / 4);
    });
    drag_->setInterval(kDragTick);
    connect(drag_, &QTimer::timeout, this, [this] { scrollToward(mapFromGlobal(QCursor::pos())); });
}

bool RowPane::scrolls() const
{
    return verticalScrollBar()->maximum() > 0;
}

void RowPane::followDrag(bool on)
{
    if (on)
        drag_->start();
    else
        drag_->stop();
}

int RowPane::scrollToward(QPoint at)
{
    QScrollBar *bar = verticalScrollBar();
    if (!scrolls() || at.x() < 0 || at.x() >= width())
        return 0;
    // The nearer the edge (or the further past it, up to the band's depth), the faster.
    const int band = std::max(8, height() / 8);
    int step = 0;
    if (at.y() < band && at.y() >= -band)
        step = -std::max(1, (band - at.y()) / 4);
    else if (at.y() >= height() - band && at.y() < height() + band)
        step = std::max(1, (at.y() - (height() - band)) / 4);
    const int before = bar->value();
    bar->setValue(before + step);
    return bar->value() - before;
}

bool RowPane::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        if (watched == rows_)
            static_cast<QChildEvent *>(event)->child()->installEventFilter(this);
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        // Rows under a layout are moved by it, in the middle of its own placing: resizing
        // their widget then would place them again inside that pass and leave them piled
        // up. The layout's request (below) refits them instead.
        if (watched == viewport() || (watched != rows_ && !rows_->layout()))
            fitRows();
        break;
    case QEvent::LayoutRequest:
        if (watched == rows_ && rows_->layout())
            QTimer::singleShot(0, this, &RowPane::fitRows); // after the layout has had it
        break;
    default:
        break;
    }
    return QScrollArea::eventFilter(watched, event);
}

// The rows' widget as wide as the box's inside and as tall as its rows reach (at least
// the box's height): the bar appears only when they reach further.
void RowPane::fitRows()
{
    int bottom = 0;
    if (QLayout *l = rows_->layout()) // rows laid out by a layout: as tall as it needs across
        bottom = l->hasHeightForWidth() ? l->totalHeightForWidth(viewport()->width()) : l->totalSizeHint().height();
    else
        for (QObject *o : rows_->children())
            if (auto *w = qobject_cast<QWidget *>(o); w && !w->isHidden())
                bottom = std::max(bottom, w->geometry().bottom() + 1);
    const QSize want(viewport()->width(), std::max(bottom, viewport()->height()));
    if (rows_->size() != want)
        rows_->resize(want);
}

} // namespace qv::ui
