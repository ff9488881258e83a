#include "ui/pupilwindow.h"

#include "ui/screenbase.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace qv::ui {

PupilWindow::PupilWindow() : QWidget(nullptr)
{
    setObjectName(QStringLiteral("Quorvane"));
    setWindowTitle(QStringLiteral("Quorvane"));
}

void PupilWindow::paintEvent(QPaintEvent *)
{
    // Seen only behind a message between two screens: dark, so that the message stands out.
    // Painted, not set in the palette, which the screens would inherit.
    QPainter(this).fillRect(rect(), QColor(48, 48, 48));
}

void PupilWindow::adopt(ScreenBase *s)
{
    s->setParent(this);
    s->hide();
    s->installEventFilter(this);
}

ScreenBase *PupilWindow::current() const
{
    for (QObject *o : children())
        if (auto *s = qobject_cast<ScreenBase *>(o); s && s->isVisibleTo(this))
            return s;
    return nullptr;
}

void PupilWindow::present(ScreenBase *s)
{
    setWindowTitle(s->windowTitle());
    // A screen reader announces the change of name: what the screen now on show is for.
    setAccessibleName(s->accessibleName());
    if (!isVisible()) {
        // Placed on its display first: without a window manager full screen is only a wish.
        if (QScreen *d = screen())
            setGeometry(d->geometry());
    }
    s->setGeometry(rect());
    s->raise();
    s->show();
    if (!isVisible())
        showFullScreen();
}

void PupilWindow::prepare(ScreenBase *s)
{
    if (s->isVisibleTo(this))
        return;
    // Shown just beyond the window's right edge: laid out and polished as on show, yet
    // outside the window, so nothing of it is drawn into the window or reaches the display.
    s->setGeometry(QRect(QPoint(width(), 0), size()));
    s->show();
    s->scaler()->sync();
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (scratch_.size() != pixels) {
        scratch_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        scratch_.setDevicePixelRatio(ratio);
    }
    // Painted once where no one sees it: text laid out, glyphs and scaled pictures cached.
    s->render(&scratch_);
    s->hide();
}

bool PupilWindow::eventFilter(QObject *watched, QEvent *e)
{
    // A screen hidden: the window goes too once no other has taken its place, checked after
    // the handler that hid it, which usually shows the next screen next.
    if (e->type() == QEvent::HideToParent && qobject_cast<ScreenBase *>(watched))
        QTimer::singleShot(0, this, &PupilWindow::hideIfEmpty);
    return QWidget::eventFilter(watched, e);
}

void PupilWindow::hideIfEmpty()
{
    if (!isVisible() || current())
        return;
    // A message between two screens ("L'archivio è vuoto..." before name entry) keeps the
    // window behind it, and the desktop out of sight, until it is answered.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(100, this, &PupilWindow::hideIfEmpty);
        return;
    }
    hide();
}

void PupilWindow::closeEvent(QCloseEvent *e)
{
    // The screen on show decides: a test screen refuses a close from outside.
    ScreenBase *s = current();
    if (s && !s->close()) {
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

void PupilWindow::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    if (ScreenBase *s = current())
        s->setGeometry(rect());
}

} // namespace qv::ui
