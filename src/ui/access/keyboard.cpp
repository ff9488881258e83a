#include "ui/access/keyboard.h"

#include <QKeyEvent>
#include <QPushButton>

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

} // namespace

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
