// A label used as a button: emits clicked() when the left button is released over it.
#pragma once

#include <QLabel>

namespace qv::ui {

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(const QString &text = {}, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
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
