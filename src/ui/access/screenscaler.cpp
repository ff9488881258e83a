#include "ui/access/screenscaler.h"

#include "ui/access/contrastcolours.h"

#include <QEvent>
#include <algorithm>

namespace qv::ui {

ScreenScaler::ScreenScaler(QWidget *screen, QSize design) : QObject(screen), screen_(screen), design_(design)
{
    canvas_ = QRect(QPoint(0, 0), design);
    screen->installEventFilter(this);
}

void ScreenScaler::setPresentation(const Presentation &p)
{
    const Presentation now = follows_ ? p : Presentation{};
    if (now == presentation_)
        return;
    presentation_ = now;
    everything_ = true;
    // Every screen hears of the change; a hidden one is brought in line when next shown.
    if (!screen_->isVisible())
        return;
    sync();
    screen_->update();
}

bool ScreenScaler::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == screen_) {
        switch (event->type()) {
        case QEvent::Resize:
            everything_ = true;
            sync();
            break;
        case QEvent::Show:
            sync();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

qreal ScreenScaler::textShare(const QWidget *w) const
{
    if (!body_ || !body_->isAncestorOf(w) || !hasDesignText(w))
        return 1.0;
    const QFont want = look().font(designTextOf(w));
    const QFont drawn = w->font();
    if (want.pointSizeF() > 0 && drawn.pointSizeF() > 0)
        return drawn.pointSizeF() / want.pointSizeF();
    return want.pixelSize() > 0 && drawn.pixelSize() > 0 ? qreal(drawn.pixelSize()) / want.pixelSize() : 1.0;
}

void ScreenScaler::sync()
{
    if (syncing_ || !body_)
        return;
    syncing_ = true;
    const QSize s = screen_->size();
    const qreal f = std::min(s.width() / qreal(design_.width()), s.height() / qreal(design_.height()));
    const QSize c = (QSizeF(design_) * f).toSize();
    if (!qFuzzyCompare(f, factor_) || canvas_.size() != c)
        everything_ = true;
    factor_ = f;
    canvas_ = QRect(QPoint((s.width() - c.width()) / 2, (s.height() - c.height()) / 2), c);
    if (body_->geometry() != canvas_)
        body_->setGeometry(canvas_);
    if (everything_) {
        applyScreenPalette();
        applyLook(body_, look());
        if (relaid_)
            relaid_(look());
    }
    everything_ = false;
    syncing_ = false;
}

// The screen's own colours: black behind everything in high contrast.
void ScreenScaler::applyScreenPalette()
{
    QPalette p = screen_->palette();
    if (presentation_.highContrast) {
        if (!screenPalette_)
            screenPalette_ = std::make_unique<QPalette>(p);
        const QColor black(0, 0, 0);
        const QColor base = contrastBack(Qt::white);
        p.setColor(QPalette::Window, black);
        p.setColor(QPalette::WindowText, contrastText(black));
        p.setColor(QPalette::Base, base);
        p.setColor(QPalette::Text, contrastText(base));
        p.setColor(QPalette::Button, black);
        p.setColor(QPalette::ButtonText, contrastText(black));
        p.setColor(QPalette::Highlight, black);
        p.setColor(QPalette::HighlightedText, contrastText(black));
        screen_->setPalette(p);
    } else if (screenPalette_) {
        screen_->setPalette(*screenPalette_);
        screenPalette_.reset();
    }
}

void ScreenScaler::setBody(QWidget *body, std::function<void(const Look &)> relaid)
{
    body_ = body;
    relaid_ = std::move(relaid);
    body->setProperty(kBodyProperty, true);
    everything_ = true;
}

} // namespace qv::ui
