// The focus frame of every screen: a thick two-tone frame (black and yellow, visible on any
// background) drawn around whichever control has the keyboard focus, over the screen's own
// colours and style sheets, letting the mouse through. In high contrast, where the controls'
// borders are yellow or white, its colour is fuchsia; it grows with the display. One for the
// whole application.
#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace qv::ui {

class FocusRing : public QObject {
    Q_OBJECT
public:
    explicit FocusRing(QObject *parent);
    static constexpr int kWidth = 4; // on a display 768 high, more on taller ones
    // The frame's width and inner colour around `w` (its display, its screen's presentation).
    static int widthFor(const QWidget *w);
    static QColor colourFor(const QWidget *w);
    // The frame now shown, or nullptr (for tests).
    QWidget *frame() const { return frame_ && frame_->isVisible() ? frame_.data() : nullptr; }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void follow(QWidget *now);
    void place();
    static QWidget *host(QWidget *target);

    QPointer<QWidget> target_;
    QPointer<QWidget> frame_;
    QList<QPointer<QWidget>> between_; // the target's ancestors below the frame's parent
};

} // namespace qv::ui
