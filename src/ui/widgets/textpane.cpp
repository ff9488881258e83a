#include "ui/widgets/textpane.h"

#include "ui/access/look.h"

#include "ui/widgets/rowpane.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>

namespace qv::ui {

TextPane::TextPane(const QString &name, const QString &accessibleName, QWidget *parent) : QScrollArea(parent)
{
    setObjectName(name + QStringLiteral("Riquadro"));
    setAccessibleName(accessibleName);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    // The house's bar, on the bar alone: on the box its sheet would restyle the text.
    setHouseScrollBar(verticalScrollBar());
    // The label paints the box's background; the viewport shows nothing of its own.
    viewport()->setAutoFillBackground(false);
    label_ = new QLabel;
    label_->setObjectName(name);
    label_->setTextFormat(Qt::PlainText);
    label_->setWordWrap(true);
    label_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    setWidget(label_);
    setFocusPolicy(Qt::NoFocus);
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this](int, int most) { setFocusPolicy(most > 0 ? Qt::StrongFocus : Qt::NoFocus); });
}

bool TextPane::scrolls() const
{
    return verticalScrollBar()->maximum() > 0;
}

void TextPane::showEvent(QShowEvent *e)
{
    QScrollArea::showEvent(e);
    relayOut();
}

void TextPane::relayOut()
{
    // The label sized anew, the bar shown or hidden and the label sized again to the room
    // left, all before the next paint (the bar's own update waits for the event loop).
    QEvent request(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(this, &request);
}

bool TextPane::eventFilter(QObject *watched, QEvent *e)
{
    const bool stop = QScrollArea::eventFilter(watched, e);
    if (watched == label_ && e->type() == QEvent::FontChange)
        relayOut();
    return stop;
}

void TextPane::keyPressEvent(QKeyEvent *e)
{
    QScrollBar *bar = verticalScrollBar();
    switch (e->key()) {
    case Qt::Key_Home:
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        break;
    case Qt::Key_End:
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        break;
    default:
        QScrollArea::keyPressEvent(e);
    }
}

} // namespace qv::ui
