// How a label that acts as a button reaches assistive technology: a push button with a
// name and a press action. ClickLabels get it on their own; any other label that reacts
// to the mouse (the drag sources and drop boxes) is declared with setLabelButton().
#pragma once

#include <QAccessibleWidget>
#include <QLabel>
#include <functional>

namespace qv::ui {

class LabelButtonAccessible : public QAccessibleWidget {
public:
    using Name = std::function<QString()>;
    using Press = std::function<void()>;
    LabelButtonAccessible(QWidget *w, Name name, Press press);

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &action) override;
    QStringList keyBindingsForAction(const QString &action) const override;

private:
    Name name_;
    Press press_;
};

// The label's accessible name is name(), its press action press(). Call before the label is
// first shown.
void setLabelButton(QLabel *label, LabelButtonAccessible::Name name, LabelButtonAccessible::Press press);

// Registers the factory that presents labels as buttons (idempotent).
void installLabelButtons();

} // namespace qv::ui
