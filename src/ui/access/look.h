// How a pupils' screen laid out by Qt's layouts is drawn now: one factor from the design's
// 1016 × 730 to the display for every length and text, and the pupil's presentation (text
// size, face, high contrast). Controls keep their design text size and colours as
// properties; applyLook() turns them into fonts and palettes, so a screen never rewrites a
// style sheet for contrast and its layouts take their sizes from the texts' size hints.
#pragma once

#include "ui/access/presentation.h"

#include <QColor>
#include <QFont>
#include <QString>

class QScrollBar;
class QWidget;

namespace qv::ui {

struct Look {
    qreal factor = 1.0;
    Presentation presentation;

    // A design length on this display, at least 1 where the design's is.
    int px(qreal design) const;
    // `design` as drawn: its size × factor × the text's share, in the pupil's face.
    QFont font(const QFont &design) const;
    // The display's size alone, without the pupil's presentation.
    Look plain() const { return {factor, {}}; }
    // Colours of high contrast (contrastcolours.h), the design's otherwise. `back` of an
    // invalid colour is the screen's own; ink on a background already mapped.
    QColor back(const QColor &design) const;
    QColor ink(const QColor &shownBack, const QColor &design) const;
    bool operator==(const Look &) const = default;
};

// The program's sans-serif face at `points`, as the design sets it.
QFont designFont(qreal points, bool bold = false);
// `w` shows text at `points` design points: applyLook() gives it the look's font.
void setDesignText(QWidget *w, qreal points, bool bold = false);
void setDesignText(QWidget *w, const QFont &design);
// Words drawn for decoration only, not read: the display's size, in the design's face and size.
void setDecorationText(QWidget *w, qreal points, bool bold = false);
// Whether `w` has a design text size, and the design font applyLook() works from.
bool hasDesignText(const QWidget *w);
QFont designTextOf(const QWidget *w);
// `w`'s own text colour, and background (filled), as designed; applyLook() maps them.
void setDesignInk(QWidget *w, const QColor &ink);
void setDesignBack(QWidget *w, const QColor &back);
// Fonts and colours of every control under `root` (root included) for `look`.
void applyLook(QWidget *root, const Look &look);
// The house's vertical scroll bar, wide enough to grab: `bar` takes it now and, from then on,
// at the look's size and in its colours whenever applyLook() reaches it.
void setHouseScrollBar(QScrollBar *bar);
// Its sheet for `look`; for a box whose only scroll bars it styles (a list's) as well.
QString scrollBarSheet(const Look &look);
// The sheet of a rounded box in the design's colours (mapped in high contrast), its border
// and corner in design pixels; white under the mouse.
QString roundedBoxSheet(const Look &look, const QColor &back, const QColor &ink, const QColor &border, int borderPx,
                        int radiusPx);

} // namespace qv::ui
