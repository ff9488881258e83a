#include "ui/screenbase.h"

#include "battery/ascolto.h"
#include "startup/datafolder.h"
#include "ui/pupilwindow.h"
#include "ui/widgets/clicklabel.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QFileInfo>
#include <QPainter>
#include <QPixmapCache>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

namespace qv::ui {

ScreenBase::ScreenBase(Application &app, const QString &caption) : QWidget(nullptr), app_(app)
{
    setWindowTitle(caption);
    // In the pupils' one window a screen is a panel: named by its caption, so that a screen
    // reader tells the pupil which screen the focus has come into.
    setAccessibleName(caption);
    resize(kScreenWidth, kScreenHeight);
    setAutoFillBackground(true);
    scaler_ = new ScreenScaler(this, QSize(kScreenWidth, kScreenHeight));
    scaler_->setPresentation(app.presentation());
    connect(&app, &Application::presentationChanged, this, [this] { scaler_->setPresentation(app_.presentation()); });
}

QWidget *ScreenBase::makeBody()
{
    // A frameless, see-through scrolling box: the screen's background shows behind it, and
    // where larger text makes the screen taller than the display its rows scroll.
    auto *body = new QScrollArea(this);
    body->setFrameShape(QFrame::NoFrame);
    body->setFocusPolicy(Qt::NoFocus);
    body->setWidgetResizable(true);
    // Across, the page is as wide as the canvas (its least widths are the design's, which
    // fit): a bar would come only from rounding. Its texts wrap instead.
    body->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    body->viewport()->setAutoFillBackground(false);
    body->verticalScrollBar()->setAccessibleName(QStringLiteral("Scorri la schermata"));
    setHouseScrollBar(body->verticalScrollBar());
    auto *page = new QWidget;
    body->setWidget(page);
    page->setAutoFillBackground(false); // after setWidget, which fills it

    scaler_->setBody(body, [this](const Look &l) { layOut(l); });
    return page;
}

void ScreenBase::setInk(QWidget *w, const QColor &ink)
{
    setDesignInk(w, ink);
    applyLook(w, look());
}

void ScreenBase::setBack(QWidget *w, const QColor &back)
{
    setDesignBack(w, back);
    applyLook(w, look());
}

void ScreenBase::setTeacherWindow()
{
    fillsScreen_ = false;
    scaler_->setFollowsPresentation(false);
    scaler_->setPresentation(Presentation{});
    setMinimumSize(kScreenWidth * 2 / 3, kScreenHeight * 2 / 3);
}

void ScreenBase::present()
{
    if (!fillsScreen_) {
        show();
        return;
    }
    if (auto *window = qobject_cast<PupilWindow *>(parentWidget())) {
        window->present(this);
        scaler_->sync();
        return;
    }
    // Placed on its display first: without a window manager full screen is only a wish.
    if (QScreen *s = screen())
        setGeometry(s->geometry());
    showFullScreen();
    scaler_->sync();
}

void ScreenBase::prepareOutOfSight()
{
    if (isVisible())
        return;
    prepare();
    if (auto *window = qobject_cast<PupilWindow *>(parentWidget())) {
        window->prepare(this);
        return;
    }
    setAttribute(Qt::WA_DontShowOnScreen);
    setAttribute(Qt::WA_ShowWithoutActivating);
    if (QScreen *s = screen(); s && fillsScreen_)
        setGeometry(s->geometry());
    show();
    scaler_->sync();
    repaint();
    hide();
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    setAttribute(Qt::WA_DontShowOnScreen, false);
}

void ScreenBase::closeEvent(QCloseEvent *e)
{
    // The program's own end hides every window first, so only a close from outside comes here.
    if (leftOnlyByItsButtons_ && isVisible())
        e->ignore();
    else
        QWidget::closeEvent(e);
}

bool ScreenBase::loadBackground()
{
    QPixmap p;
    if (!loadPicture(session().dataFile(QString::fromLatin1(kBackgroundFile)), &p))
        return false;
    background_ = p;
    update();
    return true;
}

void ScreenBase::loadBackgroundOrWarn()
{
    if (loadBackground() || backgroundWarned_)
        return;
    backgroundWarned_ = true;
    session().dialogs.alert(QStringLiteral("Manca l'immagine di sfondo \"%1\" nella cartella Perquorvane: "
                                           "il test prosegue senza sfondo.")
                                .arg(QString::fromLatin1(kBackgroundFile)));
}

ClickLabel *ScreenBase::raisedButton(const QString &name, const QString &caption, qreal points, int lineWidth,
                                     const QColor &back)
{
    auto *b = new ClickLabel(caption, this);
    b->setObjectName(name);
    setDesignText(b, sans(points, true)); // the look's size on a screen laid out by layouts
    b->setAlignment(Qt::AlignCenter);
    b->setFrameStyle(QFrame::Panel | QFrame::Raised);
    b->setLineWidth(lineWidth);
    setBackColor(b, back);
    setDesignBack(b, back); // mapped in high contrast by the look, likewise
    return b;
}

ClickLabel *ScreenBase::listenButton(const QString &name, const QString &caption,
                                     std::function<QString()> text, bool passage, std::function<bool()> when)
{
    ClickLabel *b = raisedButton(name, caption, 11, 2, QColor(214, 240, 214));
    b->setWordWrap(true);
    b->hide();
    connect(b, &ClickLabel::clicked, this, [this, text = std::move(text)] { session().speak(text()); });
    listen_.push_back({b, passage, std::move(when)});
    return b;
}

void ScreenBase::refreshListenButtons()
{
    for (const Listen &l : listen_)
        l.button->setVisible(ascolto::shown(state().strumenti, l.passage) && (!l.when || l.when()));
}

void ScreenBase::paintEvent(QPaintEvent *e)
{
    if (!background_.isNull() && !scaler_->presentation().highContrast) {
        const QRect canvas = scaler_->canvas();
        if (shownBackground_.size() != canvas.size()) {
            // Every screen shows the same picture at the same size: scaled once for all.
            const QString key = QStringLiteral("sfondo:%1:%2x%3")
                                    .arg(session().dataFile(QString::fromLatin1(kBackgroundFile)))
                                    .arg(canvas.width())
                                    .arg(canvas.height());
            if (QPixmapCache::cacheLimit() < 40 * 1024) // room for a 2560 × 1440 picture
                QPixmapCache::setCacheLimit(40 * 1024);
            if (!QPixmapCache::find(key, &shownBackground_)) {
                shownBackground_ = background_.scaled(canvas.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                QPixmapCache::insert(key, shownBackground_);
            }
        }
        QPainter painter(this);
        painter.drawPixmap(canvas.topLeft(), shownBackground_);
    }
    QWidget::paintEvent(e);
}

void keepsRoom(QWidget *w)
{
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
}

bool loadPicture(const QString &file, QPixmap *out)
{
    const QFileInfo info(file);
    if (!info.isFile())
        return false;
    const QString key = QStringLiteral("qvfile:%1:%2:%3")
                            .arg(info.absoluteFilePath())
                            .arg(info.lastModified().toMSecsSinceEpoch())
                            .arg(info.size());
    if (QPixmapCache::find(key, out))
        return true;
    // Room for the pictures and their copies at a 2560 × 1440 display's size.
    if (QPixmapCache::cacheLimit() < 64 * 1024)
        QPixmapCache::setCacheLimit(64 * 1024);
    if (!out->load(file))
        return false;
    QPixmapCache::insert(key, *out);
    return true;
}

QFont sans(qreal points, bool bold)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

} // namespace qv::ui
