#include "ui/access/keyboard.h"

#include <QGraphicsView>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

namespace qv::ui {

namespace {

class RowKeys : public QObject {
public:
    RowKeys(QListWidget *list, std::function<void(QListWidgetItem *)> chosen)
        : QObject(list), list_(list), chosen_(std::move(chosen))
    {
        list->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (watched != list_ || e->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space)
            return false;
        if (QListWidgetItem *item = list_->currentItem(); item && (item->flags() & Qt::ItemIsEnabled))
            chosen_(item);
        return true;
    }

private:
    QListWidget *list_;
    std::function<void(QListWidgetItem *)> chosen_;
};

// Set on a view named here, so that a later call names it again from its label.
constexpr const char *kNamedHere = "qvNamedHere";

QString readableName(QWidget *view, const QList<QLabel *> &labels)
{
    for (QLabel *l : labels)
        if (l->buddy() == view && !l->text().isEmpty())
            return l->text().simplified();
    // A tab page is a child of the tab widget's page stack.
    for (QWidget *w = view; w && w->parentWidget(); w = w->parentWidget())
        if (auto *tabs = qobject_cast<QTabWidget *>(w->parentWidget()->parentWidget()); tabs && tabs->indexOf(w) >= 0)
            return tabs->tabText(tabs->indexOf(w)).remove(QLatin1Char('&'));
    return {};
}

} // namespace

void readableByKeyboard(QWidget *window)
{
    const QList<QLabel *> labels = window->findChildren<QLabel *>();
    for (QAbstractScrollArea *v : window->findChildren<QAbstractScrollArea *>()) {
        // Not a table's headers, nor a combo box's pop-up list (a window of its own).
        if ((!qobject_cast<QAbstractItemView *>(v) && !qobject_cast<QGraphicsView *>(v)) || qobject_cast<QHeaderView *>(v)
            || v->window() != window->window())
            continue;
        if (v->focusPolicy() == Qt::NoFocus)
            v->setFocusPolicy(Qt::StrongFocus);
        if (!v->accessibleName().isEmpty() && !v->property(kNamedHere).toBool())
            continue;
        if (const QString name = readableName(v, labels); !name.isEmpty()) {
            v->setAccessibleName(name);
            v->setProperty(kNamedHere, true);
        }
    }
}

void setTabChain(const QList<QWidget *> &widgets)
{
    QWidget *previous = nullptr;
    for (QWidget *w : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

void enterPressesButtons(QWidget *screen)
{
    for (QPushButton *b : screen->findChildren<QPushButton *>())
        b->setAutoDefault(true);
}

void onRowChosen(QListWidget *list, std::function<void(QListWidgetItem *)> chosen)
{
    new RowKeys(list, std::move(chosen));
}

} // namespace qv::ui
