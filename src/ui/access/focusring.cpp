#include "ui/access/focusring.h"

#include "ui/screenbase.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QScreen>
#include <cmath>

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

    int thickness = FocusRing::kWidth;
    QColor colour;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const int half = thickness / 2;
        p.fillRect(rect(), Qt::black);
        p.fillRect(rect().adjusted(half, half, -half, -half), colour);
    }
};

} // namespace

int FocusRing::widthFor(const QWidget *w)
{
    const QScreen *s = w ? w->screen() : nullptr;
    const int high = s ? s->geometry().height() : 768;
    return std::max(kWidth, int(std::lround(kWidth * high / 768.0)));
}

QColor FocusRing::colourFor(const QWidget *w)
{
    for (const QWidget *p = w; p; p = p->parentWidget())
        if (auto *s = qobject_cast<const ScreenBase *>(p))
            return s->scaler()->presentation().highContrast ? QColor(230, 0, 126) : QColor(0xff, 0xd4, 0x00);
    return QColor(0xff, 0xd4, 0x00);
}

FocusRing::FocusRing(QObject *parent) : QObject(parent)
{
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { follow(now); });
}

void FocusRing::follow(QWidget *now)
{
    if (target_)
        target_->removeEventFilter(this);
    for (const QPointer<QWidget> &a : between_)
        if (a)
            a->removeEventFilter(this);
    between_.clear();
    target_ = now && now->parentWidget() && !now->isWindow() ? now : nullptr;
    if (target_) {
        target_->installEventFilter(this);
        // A control inside a scrolling box moves with the box's content, not by itself.
        for (QWidget *p = target_->parentWidget(); p && p != host(target_); p = p->parentWidget()) {
            p->installEventFilter(this);
            between_.append(p);
        }
    }
    place();
}

QWidget *FocusRing::host(QWidget *target)
{
    // Drawn on the screen, not inside the control's own box, whose edge would cut it where the
    // control touches it (a check box at the left of its scrolling box): on the body of a
    // screen laid out by Qt's layouts, which covers all of its controls.
    QWidget *host = target->parentWidget();
    while (host && !host->isWindow() && !qobject_cast<ScreenBase *>(host) && !host->property(kBodyProperty).toBool()
           && host->parentWidget())
        host = host->parentWidget();
    return host;
}

void FocusRing::place()
{
    if (!target_ || !target_->isVisible()) {
        if (frame_)
            frame_->hide();
        return;
    }
    QWidget *parent = host(target_);
    if (!frame_)
        frame_ = new Frame(parent);
    else if (frame_->parentWidget() != parent)
        frame_->setParent(parent);
    auto *f = static_cast<Frame *>(frame_.data());
    const int w = widthFor(target_);
    f->thickness = w;
    f->colour = colourFor(target_);
    const QRect around = QRect(target_->mapTo(parent, QPoint(0, 0)), target_->size()).adjusted(-w, -w, w, w);
    frame_->setGeometry(around);
    // The middle is cut out, so the control stays readable under the frame; what a box has
    // scrolled out of sight stays hidden, but for the frame's own width at the box's edges.
    QRegion ring = QRegion(frame_->rect()).subtracted(QRegion(frame_->rect().adjusted(w, w, -w, -w)));
    for (const QPointer<QWidget> &a : between_)
        if (a)
            ring &= QRect(a->mapTo(parent, QPoint(0, 0)) - around.topLeft(), a->size()).adjusted(-w, -w, w, w);
    frame_->setMask(ring);
    frame_->update();
    frame_->raise();
    frame_->show();
}

bool FocusRing::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == target_ || between_.contains(qobject_cast<QWidget *>(watched))) {
        switch (e->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            place();
            break;
        case QEvent::ParentChange:
            follow(target_); // a new line of ancestors
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, e);
}

} // namespace qv::ui
