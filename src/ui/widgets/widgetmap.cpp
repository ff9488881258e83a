#include "ui/widgets/widgetmap.h"

#include "storage/privatefiles.h"
#include "ui/pupilwindow.h"
#include "ui/screenbase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QFile>
#include <QGraphicsView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSaveFile>
#include <QWidget>

namespace qv::ui {

void WidgetMap::installFromEnvironment(QObject *parent)
{
    const QString file = qEnvironmentVariable("QUORVANE_WIDGET_MAP");
    if (!file.isEmpty())
        new WidgetMap(file, parent);
}

WidgetMap::WidgetMap(const QString &file, QObject *parent) : QObject(parent), file_(file)
{
    connect(&timer_, &QTimer::timeout, this, &WidgetMap::write);
    timer_.start(100);
}

namespace {
// Whether a click, a drop or typing does something on the control: the accessibility audit
// checks each of these has a name and an action.
bool reactsToMouse(const QWidget *w)
{
    if (qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLineEdit *>(w))
        return true;
    if (auto *view = qobject_cast<const QAbstractItemView *>(w))
        return view->selectionMode() != QAbstractItemView::NoSelection;
    const Qt::CursorShape cursor = w->cursor().shape();
    return w->acceptDrops() || (w->testAttribute(Qt::WA_SetCursor) && cursor != Qt::ArrowCursor);
}

// Whether the control shows something to read that is not text of its own (a list, a table,
// a chart): the audit checks each has a name and takes the keyboard focus.
bool showsToRead(const QWidget *w)
{
    return qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QGraphicsView *>(w);
}

QJsonObject describe(const QWidget *w, const QString &window)
{
    QJsonObject o;
    o["window"] = window;
    o["name"] = w->objectName();
    o["class"] = QString::fromLatin1(w->metaObject()->className());
    const QPoint g = w->mapToGlobal(QPoint(0, 0));
    o["x"] = g.x();
    o["y"] = g.y();
    o["w"] = w->width();
    o["h"] = w->height();
    if (auto *l = qobject_cast<const QLabel *>(w))
        o["text"] = l->text();
    else if (auto *b = qobject_cast<const QAbstractButton *>(w)) {
        o["text"] = b->text();
        o["checked"] = b->isChecked();
    } else if (auto *e = qobject_cast<const QLineEdit *>(w)) {
        // A masked field (a password) tells only how much has been typed, never what.
        if (e->echoMode() == QLineEdit::Normal)
            o["text"] = e->text();
        else
            o["typed"] = int(e->text().size());
    }
    if (auto *list = qobject_cast<const QListWidget *>(w)) {
        // Each item with its place on screen, or null while it is scrolled out of view.
        QJsonArray items, rects;
        const QRect view = list->viewport()->rect();
        for (int i = 0; i < list->count(); ++i) {
            items.append(list->item(i)->text());
            const QRect r = list->visualItemRect(list->item(i));
            if (view.contains(r)) {
                const QPoint p = list->viewport()->mapToGlobal(r.topLeft());
                rects.append(QJsonArray{p.x(), p.y(), r.width(), r.height()});
            } else {
                rects.append(QJsonValue());
            }
        }
        o["items"] = items;
        o["rects"] = rects;
        o["row"] = list->currentRow();
    }
    o["enabled"] = w->isEnabled();
    o["mouse"] = reactsToMouse(w);
    o["read"] = showsToRead(w);
    o["focus"] = w->hasFocus();
    return o;
}
} // namespace

QByteArray WidgetMap::snapshot() const
{
    QJsonArray all;
    // The pupils' screens take turns in one window; each is mapped as a window of its own.
    QList<QWidget *> windows;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (!top->isVisible())
            continue;
        if (auto *pupils = qobject_cast<PupilWindow *>(top)) {
            if (ScreenBase *s = pupils->current())
                windows.append(s);
        } else {
            windows.append(top);
        }
    }
    for (QWidget *top : windows) {
        const QString window = top->objectName().isEmpty() ? top->windowTitle() : top->objectName();
        QJsonObject t = describe(top, window);
        t["title"] = top->windowTitle();
        t["modal"] = top->isModal();
        all.append(t);
        for (QWidget *w : top->findChildren<QWidget *>()) {
            if (!w->isVisible())
                continue;
            if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
                all.append(describe(w, window));
            else if (top->isModal() && (qobject_cast<QAbstractButton *>(w) || qobject_cast<QLabel *>(w)))
                all.append(describe(w, window)); // a message box's text and buttons carry no name
        }
    }
    return QJsonDocument(all).toJson(QJsonDocument::Compact);
}

void WidgetMap::write()
{
    const QByteArray now = snapshot();
    if (now == last_)
        return;
    QSaveFile f(file_);
    if (f.open(QIODevice::WriteOnly) && makePrivate(f) && f.write(now) == now.size() && f.commit())
        last_ = now;
}

} // namespace qv::ui
