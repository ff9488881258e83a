// The keyboard path the screens share: the order Tab follows, Enter on push buttons, and
// Enter or Space on a list's current row doing what a click on it does.
#pragma once

#include <QListWidget>
#include <QWidget>
#include <functional>

namespace qv::ui {

// Tab goes through the widgets in this order (Shift+Tab back).
void setTabChain(const QList<QWidget *> &widgets);

// Enter presses every push button of the screen that has the focus, as Space does (Qt does
// it only inside dialogs).
void enterPressesButtons(QWidget *screen);

// Enter or Space on the list's current row calls `chosen` with it, as the screen's click
// handler is called.
void onRowChosen(QListWidget *list, std::function<void(QListWidgetItem *)> chosen);

} // namespace qv::ui
