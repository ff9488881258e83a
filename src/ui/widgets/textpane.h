// A long text (a reading passage) in a box that scrolls instead of shrinking its text when
// the pupil's larger text no longer fits the box: the text's label fills the box's width
// and grows as tall as its text needs. The box takes the keyboard focus (arrows, Page Up,
// Page Down, Home, End) only while there is something to scroll. The screen's layout sizes
// the box; the look gives the label its font (ui/access/look.h).
#pragma once

#include <QScrollArea>

class QLabel;

namespace qv::ui {

class TextPane : public QScrollArea {
    Q_OBJECT
public:
    // `name` names the label (the box is `name` + "Riquadro"); `accessibleName` is read out
    // for the box.
    TextPane(const QString &name, const QString &accessibleName, QWidget *parent);

    QLabel *label() const { return label_; }
    // Whether the text is taller than the box now.
    bool scrolls() const;
    // The label sized to its text and the bar shown or hidden now, not at the next turn of
    // the event loop (after a new text, or a new size of the box).
    void relayOut();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    // The label's height and the bar follow its text changed while the box was hidden, and
    // its font (the look's, at the show): a screen drawn out of sight ahead of its showing,
    // or shown again, gets no resize that would bring them in line.
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    QLabel *label_;
};

} // namespace qv::ui
