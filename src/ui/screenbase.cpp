#include "ui/screenbase.h"

#include "battery/ascolto.h"
#include "startup/datafolder.h"
#include "ui/widgets/clicklabel.h"

#include <QPainter>

namespace qv::ui {

ScreenBase::ScreenBase(Application &app, const QString &caption) : QWidget(nullptr), app_(app)
{
    setWindowTitle(caption);
    setFixedSize(kScreenWidth, kScreenHeight);
    setAutoFillBackground(true);
}

bool ScreenBase::loadBackground()
{
    QPixmap p;
    if (!p.load(session().dataFile(QString::fromLatin1(kBackgroundFile))))
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

ClickLabel *ScreenBase::raisedButton(const QString &name, const QString &caption, const QRect &geometry,
                                     qreal points, int lineWidth, const QColor &back)
{
    auto *b = new ClickLabel(caption, this);
    b->setObjectName(name);
    b->setGeometry(geometry);
    b->setFont(sans(points, true));
    b->setAlignment(Qt::AlignCenter);
    b->setFrameStyle(QFrame::Panel | QFrame::Raised);
    b->setLineWidth(lineWidth);
    setBackColor(b, back);
    return b;
}

ClickLabel *ScreenBase::listenButton(const QString &name, const QString &caption, const QRect &geometry,
                                     std::function<QString()> text, bool passage, std::function<bool()> when)
{
    ClickLabel *b = raisedButton(name, caption, geometry, 11, 2, QColor(214, 240, 214));
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
    if (!background_.isNull()) {
        QPainter painter(this);
        painter.drawPixmap(rect(), background_);
    }
    QWidget::paintEvent(e);
}

QFont sans(qreal points, bool bold)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

} // namespace qv::ui
