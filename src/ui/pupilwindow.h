// The one full-screen window in which the pupils' screens take turns. Each screen is a child
// filling it; a change of screen hides one child and shows another. One window means one
// backing store: the window system maps and fills its memory once, on the start screen, and no
// test screen pays for a new window of its own on its first showing. The window shows the
// current screen's caption as its title, hides itself when no screen is left on show and no
// message is open, and passes a close from outside to that screen, which may refuse it.
#pragma once

#include <QImage>
#include <QWidget>

namespace qv::ui {

class ScreenBase;

class PupilWindow : public QWidget {
    Q_OBJECT
public:
    PupilWindow();

    // Makes `s` one of the window's screens, hidden until it is presented.
    void adopt(ScreenBase *s);
    // Shows `s` filling the window, over the others, and the window full screen on its
    // display if it is not on show yet.
    void present(ScreenBase *s);
    // Lays `s` out at the window's size and paints it once out of sight, beyond the window's
    // edge and into an image, so that its first showing finds its layout, text and pictures
    // ready.
    void prepare(ScreenBase *s);
    // The screen on show, or nullptr.
    ScreenBase *current() const;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void hideIfEmpty();
    QImage scratch_; // what prepare() paints into, kept for the next one
};

} // namespace qv::ui
