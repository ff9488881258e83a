#include "ui/access/focusring.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace qv::ui {

namespace {

class Frame : public QWidget {
public:
    explicit Frame(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("qt_focusring")); // left out of the widget map
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const int half = FocusRing::kWidth / 2;
        p.fillRect(rect(), Qt::black);
        p.fillRect(rect().adjusted(half, half, -half, -half), QColor(0xff, 0xd4, 0x00));
    }
};

} // namespace

FocusRing::FocusRing(QObject *parent) : QObject(parent)
{
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { follow(now); });
}

void FocusRing::follow(QWidget *now)
{
    if (target_)
        target_->removeEventFilter(this);
    target_ = now && now->parentWidget() && !now->isWindow() ? now : nullptr;
    if (target_)
        target_->installEventFilter(this);
    place();
}

void FocusRing::place()
{
    if (!target_ || !target_->isVisible()) {
        if (frame_)
            frame_->hide();
        return;
    }
    QWidget *parent = target_->parentWidget();
    if (!frame_)
        frame_ = new Frame(parent);
    else if (frame_->parentWidget() != parent)
        frame_->setParent(parent);
    frame_->setGeometry(target_->geometry().adjusted(-kWidth, -kWidth, kWidth, kWidth));
    // The middle is cut out, so the control stays readable under the frame.
    frame_->setMask(QRegion(frame_->rect()).subtracted(
        QRegion(frame_->rect().adjusted(kWidth, kWidth, -kWidth, -kWidth))));
    frame_->raise();
    frame_->show();
}

bool FocusRing::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == target_) {
        switch (e->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ParentChange:
            place();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, e);
}

} // namespace qv::ui
