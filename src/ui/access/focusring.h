// The focus frame of every screen: a thick two-tone frame (black and yellow, visible on any
// background) drawn around whichever control has the keyboard focus, over the screen's own
// colours and style sheets, letting the mouse through. One for the whole application.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace qv::ui {

class FocusRing : public QObject {
    Q_OBJECT
public:
    explicit FocusRing(QObject *parent);
    static constexpr int kWidth = 4;
    // The frame now shown, or nullptr (for tests).
    QWidget *frame() const { return frame_ && frame_->isVisible() ? frame_.data() : nullptr; }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void follow(QWidget *now);
    void place();

    QPointer<QWidget> target_;
    QPointer<QWidget> frame_;
};

} // namespace qv::ui
