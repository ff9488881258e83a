#include "ui/access/look.h"

#include "ui/access/contrastcolours.h"

#include <QFontMetricsF>
#include <QPalette>
#include <QScrollBar>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace qv::ui {

namespace {
constexpr const char *kFontProperty = "qvDesignFont";
constexpr const char *kInkProperty = "qvDesignInk";
constexpr const char *kBackProperty = "qvDesignBack";
constexpr const char *kDecorationProperty = "qvDecoration";
constexpr const char *kHouseBarProperty = "qvHouseBar";
const QColor kScreenBack(0, 0, 0); // the screen itself in high contrast

void apply(QWidget *w, const Look &look, const QColor &parentBack)
{
    const QVariant f = w->property(kFontProperty);
    if (f.isValid()) {
        const QFont want = (w->property(kDecorationProperty).toBool() ? look.plain() : look).font(f.value<QFont>());
        if (w->font() != want)
            w->setFont(want);
    }
    const QColor back = w->property(kBackProperty).value<QColor>();
    const QColor ink = w->property(kInkProperty).value<QColor>();
    const QColor shownBack = back.isValid() ? look.back(back) : parentBack;
    if (back.isValid() || ink.isValid()) {
        QPalette p = w->palette();
        if (back.isValid())
            p.setColor(QPalette::Window, shownBack);
        if (ink.isValid() || look.presentation.highContrast) {
            const QColor i = look.ink(shownBack, ink);
            if (i.isValid()) {
                p.setColor(QPalette::WindowText, i);
                p.setColor(QPalette::Text, i);
            }
        }
        if (p != w->palette())
            w->setPalette(p);
    }
    if (w->property(kHouseBarProperty).toBool())
        if (const QString sheet = scrollBarSheet(look); w->styleSheet() != sheet)
            w->setStyleSheet(sheet);
    for (QObject *o : w->children())
        if (auto *c = qobject_cast<QWidget *>(o); c && !c->isWindow())
            apply(c, look, shownBack);
}
} // namespace

int Look::px(qreal design) const
{
    return design > 0 ? std::max(1, int(std::lround(design * factor))) : int(design);
}

QFont Look::font(const QFont &design) const
{
    const qreal k = factor * presentation.textPercent / 100.0;
    QFont f(design);
    if (design.pointSizeF() > 0)
        f.setPointSizeF(design.pointSizeF() * k);
    else if (design.pixelSize() > 0)
        f.setPixelSize(int(std::lround(design.pixelSize() * k)));
    if (presentation.readableFont) {
        f.setFamily(QStringLiteral("OpenDyslexic"));
        // Wider letters and words; the face's own line height is already half as tall again.
        f.setLetterSpacing(QFont::PercentageSpacing, 105);
        f.setWordSpacing(QFontMetricsF(f).horizontalAdvance(QLatin1Char(' ')) * 0.4);
    }
    return f;
}

QColor Look::back(const QColor &design) const
{
    if (!presentation.highContrast)
        return design;
    return design.isValid() ? contrastBack(design) : kScreenBack;
}

QColor Look::ink(const QColor &shownBack, const QColor &design) const
{
    if (!presentation.highContrast)
        return design;
    return contrastText(shownBack.isValid() ? shownBack : kScreenBack, design);
}

QFont designFont(qreal points, bool bold)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void setDesignText(QWidget *w, qreal points, bool bold)
{
    setDesignText(w, designFont(points, bold));
}

void setDesignText(QWidget *w, const QFont &design)
{
    w->setProperty(kFontProperty, design);
    w->setFont(design);
}

void setDecorationText(QWidget *w, qreal points, bool bold)
{
    setDesignText(w, points, bold);
    w->setProperty(kDecorationProperty, true);
}

bool hasDesignText(const QWidget *w)
{
    return w->property(kFontProperty).isValid();
}

QFont designTextOf(const QWidget *w)
{
    return w->property(kFontProperty).value<QFont>();
}

void setDesignInk(QWidget *w, const QColor &ink)
{
    w->setProperty(kInkProperty, ink);
}

void setDesignBack(QWidget *w, const QColor &back)
{
    w->setProperty(kBackProperty, back);
    w->setAutoFillBackground(back.isValid());
}

void applyLook(QWidget *root, const Look &look)
{
    QColor parentBack;
    for (QWidget *p = root->parentWidget(); p && !parentBack.isValid(); p = p->parentWidget())
        if (const QColor b = p->property(kBackProperty).value<QColor>(); b.isValid())
            parentBack = look.back(b);
    apply(root, look, parentBack.isValid() ? parentBack : look.back(QColor()));
}

void setHouseScrollBar(QScrollBar *bar)
{
    bar->setProperty(kHouseBarProperty, true);
    bar->setStyleSheet(scrollBarSheet(Look{}));
}

QString scrollBarSheet(const Look &look)
{
    const QColor groove = look.back(QColor(0xee, 0xee, 0xee));
    const QColor edge = look.presentation.highContrast ? contrastBorder(groove) : QColor(0x80, 0x80, 0x80);
    return QStringLiteral("QScrollBar:vertical { width: %1px; background: %2; border: %3px solid %4; }"
                          "QScrollBar::handle:vertical { background: %5; min-height: %6px; margin: %7px; }"
                          "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0px; }")
        .arg(look.px(20))
        .arg(groove.name())
        .arg(look.px(1))
        .arg(edge.name(), look.back(QColor(0x5a, 0x6f, 0x99)).name())
        .arg(look.px(40))
        .arg(look.px(2));
}

QString roundedBoxSheet(const Look &look, const QColor &back, const QColor &ink, const QColor &border, int borderPx,
                        int radiusPx)
{
    const QColor b = look.back(back);
    const QColor i = look.ink(b, ink);
    const QColor edge = look.presentation.highContrast ? contrastBorder(b) : border;
    const QColor hover = look.back(QColor(Qt::white));
    return QStringLiteral("QLabel { border: %1px solid %2; border-radius: %3px; background: %4; color: %5; }"
                          "QLabel:hover { background: %6; color: %7; }")
        .arg(look.px(look.presentation.highContrast ? std::max(borderPx, 3) : borderPx))
        .arg(edge.name())
        .arg(look.px(radiusPx))
        .arg(b.name(), i.name(), hover.name(), look.ink(hover, ink).name());
}

} // namespace qv::ui
