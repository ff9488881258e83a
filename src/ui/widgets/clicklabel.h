// A label used as a button: emits clicked() when the left button is released over it, or
// when it has the keyboard focus and Enter or Space is pressed. It takes the focus with Tab,
// and the arrows move the focus on as Tab and Shift+Tab do; assistive technology sees a
// push button (ui/access/labelbutton.h).
#pragma once

#include <QLabel>

namespace qv::ui {

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(const QString &text = {}, QWidget *parent = nullptr);

    // What a click does, when the label is enabled (the keyboard and the press action).
    void click();

signals:
    void clicked();

protected:
    bool event(QEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    bool pressed_ = false;
};

// Colour from a &HBBGGRR number (low byte red).
QColor vbColor(unsigned bgr);
// Sets a label's text or background colour through its palette.
void setTextColor(QWidget *w, const QColor &c);
void setBackColor(QWidget *w, const QColor &c);

} // namespace qv::ui
