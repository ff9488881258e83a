// The colours of high contrast, one mapping for every pupil screen: the screen black, dark
// colours black, greys light grey or white, and every other colour a strong light colour of
// its own hue (azure stays azure, orange orange), vivid or pale as the design's was, so that
// boxes an instruction names by colour keep that colour and keep differing from the rest.
// Every light colour takes black text at 7:1 or more; texts on black take yellow, or their
// own hue made light when the design gave them a colour (a red number stays red).
#pragma once

#include <QColor>

namespace qv::ui {

QColor contrastBack(const QColor &designBack);
// The text on `back` (a colour contrastBack gave), from the text's design colour.
QColor contrastText(const QColor &back, const QColor &designText = QColor());
// Seen against the black screen and against the box itself.
QColor contrastBorder(const QColor &back);
// The contrast ratio of two colours as accessibility guidelines measure it (1 to 21).
double contrastRatio(const QColor &a, const QColor &b);

} // namespace qv::ui
