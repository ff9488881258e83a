#include "ui/widgets/clicklabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace qv::ui {

ClickLabel::ClickLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

// QLabel measures and paints a label that takes the focus through a rich-text document, made
// when it is polished or focused, for links reached by keys. A click label holds no links,
// and measuring through the document made its screens' first showing several times slower:
// QLabel is polished believing the label takes no focus, and left out of the focus-in.
bool ClickLabel::event(QEvent *e)
{
    if (e->type() != QEvent::Polish)
        return QLabel::event(e);
    const Qt::FocusPolicy policy = focusPolicy();
    setFocusPolicy(Qt::NoFocus);
    const bool done = QLabel::event(e);
    setFocusPolicy(policy);
    return done;
}

void ClickLabel::focusInEvent(QFocusEvent *e)
{
    QFrame::focusInEvent(e);
}

void ClickLabel::click()
{
    if (isEnabled())
        emit clicked();
}

void ClickLabel::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (!e->isAutoRepeat())
            click();
        return;
    case Qt::Key_Left:
    case Qt::Key_Up:
        focusPreviousChild();
        return;
    case Qt::Key_Right:
    case Qt::Key_Down:
        focusNextChild();
        return;
    default:
        QLabel::keyPressEvent(e);
    }
}

void ClickLabel::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        pressed_ = true;
    QLabel::mousePressEvent(e);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *e)
{
    const bool was = pressed_;
    pressed_ = false;
    if (was && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        click();
    QLabel::mouseReleaseEvent(e);
}

QColor vbColor(unsigned bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

void setTextColor(QWidget *w, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    w->setPalette(p);
}

void setBackColor(QWidget *w, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

} // namespace qv::ui
