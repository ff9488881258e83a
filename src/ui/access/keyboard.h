// The keyboard path the screens share: the order Tab follows, Enter on push buttons, Enter
// or Space on a list's current row doing what a click on it does, and lists, tables and
// charts that Tab reaches and a screen reader names.
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

// Every list, table and chart inside `window` takes the keyboard focus, so that its rows and
// cells can be walked and read; one the window has not named is named after the label whose
// buddy it is, else its chart's title, else the title of the tab page it lies on. Call it
// again after such a label's text changed.
void readableByKeyboard(QWidget *window);

} // namespace qv::ui
