#include "ui/access/optionkeys.h"

#include <QKeyEvent>
#include <QShortcut>
#include <algorithm>

namespace qv::ui {

OptionKeys::OptionKeys(QWidget *screen, const std::array<QCheckBox *, 4> &boxes) : QObject(screen), boxes_(boxes)
{
    static constexpr Qt::Key kDigits[4] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4};
    static constexpr Qt::Key kLetters[4] = {Qt::Key_A, Qt::Key_B, Qt::Key_C, Qt::Key_D};
    for (int k = 0; k < 4; ++k) {
        for (Qt::Key key : {kDigits[k], kLetters[k]}) {
            auto *s = new QShortcut(QKeySequence(key), screen);
            connect(s, &QShortcut::activated, this, [this, k] { tick(k); });
        }
        boxes_[size_t(k)]->installEventFilter(this);
    }
}

void OptionKeys::tick(int k)
{
    QCheckBox *b = boxes_[size_t(k)];
    if (b->isVisible() && b->isEnabled())
        b->click();
}

bool OptionKeys::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() != QEvent::KeyPress)
        return false;
    const auto at = std::find(boxes_.begin(), boxes_.end(), watched);
    if (at == boxes_.end())
        return false;
    const int k = int(at - boxes_.begin());
    switch (static_cast<QKeyEvent *>(e)->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        tick(k);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Left:
        boxes_[size_t(std::max(k - 1, 0))]->setFocus(Qt::TabFocusReason);
        return true;
    case Qt::Key_Down:
    case Qt::Key_Right:
        boxes_[size_t(std::min(k + 1, 3))]->setFocus(Qt::TabFocusReason);
        return true;
    default:
        return false;
    }
}

} // namespace qv::ui
