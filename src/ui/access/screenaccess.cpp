#include "ui/access/screenaccess.h"

#include "ui/pupilwindow.h"
#include "ui/screenbase.h"

#include <QAbstractScrollArea>
#include <QAccessibleWidget>
#include <QPointer>
#include <QScrollBar>

namespace qv::ui {

namespace {

constexpr const char *kHeading = "qvHeading";

// A screen is a window of its own or a panel of the pupils' window, and may move from one to
// the other after its interface was made: the role follows.
class ScreenAccessible : public QAccessibleWidget {
public:
    explicit ScreenAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::Window) {}
    QAccessible::Role role() const override { return widget()->isWindow() ? QAccessible::Window : QAccessible::Pane; }
};

class HeadedCell : public QAccessibleWidget {
public:
    explicit HeadedCell(QLabel *l) : QAccessibleWidget(l, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const QString value = static_cast<QLabel *>(widget())->text().simplified();
        return QStringLiteral("%1: %2")
            .arg(widget()->property(kHeading).toString(), value.isEmpty() ? QStringLiteral("vuota") : value);
    }
};

// A scroll bar the program has not named is read as the bar of the box it scrolls, under
// that box's present name (a list's name may change with what it lists).
class BoxScrollBar : public QAccessibleWidget {
public:
    BoxScrollBar(QScrollBar *bar, QAbstractScrollArea *box) : QAccessibleWidget(bar, QAccessible::ScrollBar), box_(box) {}
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !widget()->accessibleName().isEmpty() || !box_)
            return QAccessibleWidget::text(t);
        QString box = box_->accessibleName();
        if (box.isEmpty())
            if (QAccessibleInterface *a = QAccessible::queryAccessibleInterface(box_.data()))
                box = a->text(QAccessible::Name);
        const QString bar = static_cast<QScrollBar *>(widget())->orientation() == Qt::Vertical
                                ? QStringLiteral("Barra di scorrimento verticale")
                                : QStringLiteral("Barra di scorrimento orizzontale");
        return box.isEmpty() ? bar : QStringLiteral("%1: %2").arg(bar, box);
    }

private:
    QPointer<QAbstractScrollArea> box_;
};

QAccessibleInterface *factory(const QString &, QObject *object)
{
    if (auto *bar = qobject_cast<QScrollBar *>(object))
        for (QWidget *p = bar->parentWidget(); p; p = p->parentWidget())
            if (auto *box = qobject_cast<QAbstractScrollArea *>(p))
                return new BoxScrollBar(bar, box);
    if (qobject_cast<PupilWindow *>(object) || qobject_cast<ScreenBase *>(object))
        return new ScreenAccessible(static_cast<QWidget *>(object));
    if (auto *l = qobject_cast<QLabel *>(object); l && l->property(kHeading).isValid())
        return new HeadedCell(l);
    return nullptr;
}

} // namespace

void installScreenAccess()
{
    QAccessible::installFactory(factory);
}

void setHeadedValue(QLabel *cell, const QString &heading)
{
    cell->setProperty(kHeading, heading);
    // An interface made before the heading was known is made again through the factory.
    if (QAccessible::isActive())
        if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(cell); made && !dynamic_cast<HeadedCell *>(made))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

QWidget *firstControl(QWidget *screen)
{
    // The focus chain runs through the whole window, the screen's controls after the screen.
    QWidget *w = screen->nextInFocusChain();
    for (int guard = 0; w && w != screen && guard < 10000; ++guard, w = w->nextInFocusChain())
        if (screen->isAncestorOf(w) && w->isVisibleTo(screen) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)
            && w->focusProxy() == nullptr)
            return w;
    return nullptr;
}

void focusInto(QWidget *screen)
{
    QWidget *now = screen->window()->focusWidget();
    if (now && screen->isAncestorOf(now) && now->isVisibleTo(screen) && now->isEnabled())
        return;
    if (QWidget *first = firstControl(screen))
        first->setFocus(Qt::TabFocusReason);
}

} // namespace qv::ui
