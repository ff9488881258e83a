// The keyboard of a test's four options: the arrows move the focus among the check boxes,
// Enter ticks the one in focus (as Space does), and 1–4 or a–d tick an option from anywhere
// on the screen without moving the focus, so "Domanda seguente" can stay in focus. Each
// key goes through the box's own click, the path of a mouse click.
#pragma once

#include <QCheckBox>
#include <QObject>
#include <array>

namespace qv::ui {

class OptionKeys : public QObject {
    Q_OBJECT
public:
    OptionKeys(QWidget *screen, const std::array<QCheckBox *, 4> &boxes);

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void tick(int k);
    std::array<QCheckBox *, 4> boxes_;
};

} // namespace qv::ui
