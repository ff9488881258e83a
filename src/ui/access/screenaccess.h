// What a screen reader is told of the screens themselves, of the labels that show a value
// under a heading and of scroll bars: the pupils' window is a window, a screen inside it a
// named panel, a value cell is read with its heading ("Grammatica: analisi grammaticale: 12")
// and a scroll bar as the bar of the box it scrolls.
#pragma once

#include <QLabel>
#include <QWidget>

namespace qv::ui {

// Once per program: the roles of PupilWindow and of the screens, the headed cells and the
// scroll bars.
void installScreenAccess();

// `cell` is read out as "heading: its text" (or "heading: vuota"), following its text.
void setHeadedValue(QLabel *cell, const QString &heading);

// The first control of `screen` that Tab reaches: shown, enabled, taking the focus by Tab.
QWidget *firstControl(QWidget *screen);

// After a change of screen: the keyboard focus goes into `screen`, to the control its own
// set-up chose when that one is on show inside it, else to its first control; never left on
// a screen that has been hidden.
void focusInto(QWidget *screen);

} // namespace qv::ui
