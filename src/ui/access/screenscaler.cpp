#include "ui/access/screenscaler.h"

#include "ui/access/contrastcolours.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPixmapCache>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

namespace qv::ui {

namespace {

constexpr qreal kSmallestPoints = 5.0;
constexpr qreal kShrinkStep = 0.94;
const QColor kBlack(0, 0, 0);

bool isContainer(const QWidget *w)
{
    const QMetaObject *m = w->metaObject();
    return m == &QFrame::staticMetaObject || m == &QWidget::staticMetaObject;
}

int times(int v, qreal f)
{
    return v > 0 ? std::max(1, int(std::lround(v * f))) : v;
}

// The rectangle a label lays its text in: its contents less margin and indent, as QLabel does.
QRect textArea(const QLabel *l, const QFont &f)
{
    QRect r = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    int indent = l->indent();
    if (indent < 0 && l->frameWidth() > 0)
        indent = QFontMetrics(f).horizontalAdvance(QLatin1Char('x')) / 2 - l->margin();
    if (indent > 0) {
        const Qt::Alignment a = l->alignment();
        if (a & Qt::AlignLeft)
            r.setLeft(r.left() + indent);
        if (a & Qt::AlignRight)
            r.setRight(r.right() - indent);
        if (a & Qt::AlignTop)
            r.setTop(r.top() + indent);
        if (a & Qt::AlignBottom)
            r.setBottom(r.bottom() - indent);
    }
    return r;
}

bool textFits(const QLabel *l, const QFont &f, bool wrap)
{
    const QRect area = textArea(l, f);
    const QRect b = QFontMetrics(f).boundingRect(QRect(0, 0, area.width(), 100000),
                                                 Qt::AlignLeft | Qt::AlignTop | (wrap ? Qt::TextWordWrap : 0), l->text());
    return b.width() <= area.width() && b.height() <= area.height();
}

QFont shrunk(QFont f)
{
    if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * kShrinkStep);
    else
        f.setPixelSize(std::max(1, int(f.pixelSize() * kShrinkStep)));
    return f;
}

bool tiny(const QFont &f)
{
    return f.pointSizeF() > 0 ? f.pointSizeF() <= kSmallestPoints : f.pixelSize() <= 7;
}

// The picture at `size`, scaled once per picture, size and display: a screen shown again,
// or set the same picture again, takes the scaled copy made before.
QPixmap scaledPicture(const QPixmap &design, QSize size, qreal ratio)
{
    // On a display that scales the program (device pixels per pixel `ratio`), as many pixels
    // as the display shows there: the picture is never enlarged again when painted.
    size = (QSizeF(size) * ratio).toSize();
    if (size == design.size() && design.devicePixelRatio() == ratio)
        return design;
    const QString key =
        QStringLiteral("qvscaled:%1:%2x%3@%4").arg(design.cacheKey()).arg(size.width()).arg(size.height()).arg(ratio);
    QPixmap scaled;
    if (!QPixmapCache::find(key, &scaled)) {
        scaled = design.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(ratio);
        QPixmapCache::insert(key, scaled);
    }
    return scaled;
}

} // namespace

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
        case QEvent::UpdateRequest:
            sync();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

QRect ScreenScaler::scaled(const QRect &r, bool onScreen) const
{
    const qreal ox = onScreen ? canvas_.x() : 0;
    const qreal oy = onScreen ? canvas_.y() : 0;
    const int left = int(std::lround(ox + r.x() * factor_));
    const int top = int(std::lround(oy + r.y() * factor_));
    const int right = int(std::lround(ox + (r.x() + r.width()) * factor_));
    const int bottom = int(std::lround(oy + (r.y() + r.height()) * factor_));
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

// A row of a scrolling box lies on the pixels it would take as a control of the screen
// where the design puts it, less where the box begins: its edges round as the screen's do.
QRect ScreenScaler::scaledInPane(const Control &c, const QRect &r) const
{
    const Control *found = control(c.pane.data());
    if (!found)
        return scaled(r, false);
    const Control &box = *found;
    const QRect at = box.room.isValid() ? box.room : box.geometry;
    return scaled(r.translated(at.topLeft()), box.onScreen)
        // Where the viewport lies once laid out: its own position may still be the one it had
        // under a frame the box no longer has.
        .translated(-scaled(at, box.onScreen).topLeft() - c.pane->contentsRect().topLeft());
}

// A picture is drawn at its design size × factor; one larger than its box in the design
// (a map drawn smaller to give its neighbours room) as large as the box allows, keeping its
// proportions, scaled once from the original so that it stays sharp.
QSize ScreenScaler::pictureSize(const Control &c) const
{
    const QSize box = (c.room.isValid() ? c.room : c.geometry).size();
    QSizeF s = c.pixmap.size();
    if (s.width() > box.width() || s.height() > box.height())
        s = s.scaled(QSizeF(box), Qt::KeepAspectRatio);
    return (s * factor_).toSize();
}

// A scrolling box of rows, or a list (its items scroll as well).
bool ScreenScaler::holdsRows(const Control &c) const
{
    if (qobject_cast<const QListView *>(c.w.data()))
        return true;
    auto *box = qobject_cast<const QScrollArea *>(c.w.data());
    return box && box->widget() && isContainer(box->widget());
}

qreal ScreenScaler::textHeight(QWidget *w, int width)
{
    if (const Control *c = control(w))
        return textNeed(*c, Qt::Vertical, width);
    Control c; // not yet brought in line: as the screen set it
    c.w = w;
    record(c);
    return textNeed(c, Qt::Vertical, width);
}

QFont ScreenScaler::scaledFont(const QFont &design) const
{
    return look().font(design);
}

// The screen's style sheet with its lengths × factor; in high contrast its colours are
// mapped as contrastcolours.h says and its borders made strong. `back` receives the sheet's
// first background colour (invalid when it sets none).
QString ScreenScaler::scaledSheet(const QString &design, QColor *back) const
{
    static const QRegularExpression px(QStringLiteral("(\\d+(?:\\.\\d+)?)px"));
    static const QRegularExpression block(QStringLiteral("\\{([^}]*)\\}"));
    static const QRegularExpression background(QStringLiteral("background(?:-color)?\\s*:\\s*([^;}]+)"));
    static const QRegularExpression colour(QStringLiteral("(^|[;\\s])color\\s*:\\s*([^;}]+)"));
    static const QRegularExpression border(QStringLiteral("border\\s*:\\s*(\\d+)px\\s+solid\\s+([^;}]+)"));
    *back = QColor();
    QString out;
    qsizetype at = 0;
    for (auto m = px.globalMatch(design); m.hasNext();) {
        const auto hit = m.next();
        out += design.mid(at, hit.capturedStart() - at);
        out += QString::number(times(int(std::lround(hit.captured(1).toDouble())), factor_)) + QStringLiteral("px");
        at = hit.capturedEnd();
    }
    out += design.mid(at);
    const bool contrast = presentation_.highContrast;
    QString result;
    at = 0;
    for (auto m = block.globalMatch(out); m.hasNext();) {
        const auto hit = m.next();
        QString body = hit.captured(1);
        const auto b = background.match(body);
        QColor designBack;
        if (b.hasMatch())
            designBack = QColor(b.captured(1).trimmed());
        if (designBack.alpha() == 0)
            designBack = QColor(); // "transparent": the parent shows through
        // The control's own background: not a scroll bar's or another part's.
        const QString selector = out.mid(at, hit.capturedStart() - at);
        if (designBack.isValid() && !back->isValid() && !selector.contains(QLatin1String("::")))
            *back = designBack;
        if (contrast && designBack.isValid()) {
            const QColor cb = contrastBack(designBack);
            body.replace(b.capturedStart(1), b.capturedLength(1), cb.name());
            const auto c = colour.match(body);
            const QColor ct = contrastText(cb, c.hasMatch() ? QColor(c.captured(2).trimmed()) : QColor());
            if (c.hasMatch())
                body.replace(c.capturedStart(2), c.capturedLength(2), ct.name());
            else
                body += QStringLiteral("; color: %1").arg(ct.name());
            const auto br = border.match(body);
            if (br.hasMatch())
                body.replace(br.capturedStart(), br.capturedLength(),
                             QStringLiteral("border: %1px solid %2")
                                 .arg(std::max(br.captured(1).toInt(), times(3, factor_)))
                                 .arg(contrastBorder(cb).name()));
        }
        result += out.mid(at, hit.capturedStart(1) - at) + body;
        at = hit.capturedEnd(1);
    }
    result += out.mid(at);
    return result;
}

void ScreenScaler::collect(QWidget *parent, bool onScreen, QScrollArea *pane)
{
    for (QObject *o : parent->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || w->isWindow() || w->objectName().startsWith(QLatin1String("qt_")) || w->property(kUnscaledProperty).toBool())
            continue;
        // A widget made at the address of a destroyed one is new.
        if (!control(w)) {
            known_.insert(w, controls_.size());
            Control c;
            c.w = w;
            c.onScreen = onScreen;
            c.pane = pane;
            record(c);
            controls_.push_back(std::move(c));
        }
        if (isContainer(w))
            collect(w, false);
        else if (auto *box = qobject_cast<QScrollArea *>(w); box && box->widget()) {
            collectFlowing(box->verticalScrollBar()); // its sheet scaled; the box places it
            collectFlowing(box->widget());
            if (isContainer(box->widget()))
                collect(box->widget(), false, box);
        }
    }
}

// The text inside a scrolling box, or its scroll bar: its font, margins and sheet are scaled,
// its geometry is the box's business.
void ScreenScaler::collectFlowing(QWidget *w)
{
    if (control(w))
        return;
    known_.insert(w, controls_.size());
    Control c;
    c.w = w;
    c.flows = true;
    record(c);
    controls_.push_back(std::move(c));
}

void ScreenScaler::record(Control &c)
{
    QWidget *w = c.w;
    c.geometry = w->geometry();
    c.font = w->font();
    c.sheet = w->styleSheet();
    if (auto *f = qobject_cast<QFrame *>(w))
        c.lineWidth = f->lineWidth();
    if (auto *l = qobject_cast<QLabel *>(w)) {
        c.margin = l->margin();
        c.indent = l->indent();
        c.wordWrap = l->wordWrap();
        c.pixmap = l->pixmap();
    }
    if (auto *v = qobject_cast<QListView *>(w))
        c.grid = v->gridSize();
    if (w->testAttribute(Qt::WA_SetPalette)) {
        c.text = w->palette().color(QPalette::WindowText);
        if (w->autoFillBackground())
            c.back = w->palette().color(QPalette::Window);
    }
}

QColor ScreenScaler::effectiveBack(const Control &c, const QColor &parentBack) const
{
    if (c.sheetBack.isValid())
        return contrastBack(c.sheetBack);
    if (c.back.isValid())
        return contrastBack(c.back);
    return parentBack;
}

void ScreenScaler::applyColours(Control &c, const QColor &back)
{
    QWidget *w = c.w;
    if (!c.text.isValid() && !c.back.isValid())
        return;
    if (c.sheetBack.isValid())
        return; // its sheet carries its colours
    QColor wantBack = c.back;
    QColor wantText = c.text;
    if (presentation_.highContrast) {
        wantBack = c.back.isValid() ? back : QColor();
        wantText = contrastText(back, c.text);
    } else if (!c.aBack.isValid() && !c.aText.isValid()) {
        return; // never changed here
    }
    QPalette p = w->palette();
    if (wantBack.isValid())
        p.setColor(QPalette::Window, wantBack);
    if (wantText.isValid()) {
        p.setColor(QPalette::WindowText, wantText);
        p.setColor(QPalette::Text, wantText);
    }
    w->setPalette(p);
    c.aBack = presentation_.highContrast ? wantBack : QColor();
    c.aText = presentation_.highContrast ? wantText : QColor();
}

QString ScreenScaler::fitKey(const Control &c, const QFont &font) const
{
    QString text;
    if (auto *l = qobject_cast<const QLabel *>(c.w.data()))
        text = l->text();
    else if (auto *b = qobject_cast<const QAbstractButton *>(c.w.data()))
        text = b->text();
    else if (auto *v = qobject_cast<const QListView *>(c.w.data()); v && v->model())
        text = QString::number(v->model()->rowCount());
    return text + QLatin1Char('\x1f') + QString::number(c.w->width()) + QLatin1Char('x') + QString::number(c.w->height())
           + font.key();
}

void ScreenScaler::fitText(Control &c, const QFont &font)
{
    const QString key = fitKey(c, font);
    if (key == c.fitKey)
        return;
    auto *l = qobject_cast<QLabel *>(c.w.data());
    QFont f = font;
    if (c.flows) {
        // It scrolls rather than shrinks.
    } else if (l && !l->text().isEmpty() && l->pixmap().isNull()) {
        l->setFont(f); // the indent of a framed label depends on it
        bool wrap = c.wordWrap;
        if (!wrap && l->text().contains(QLatin1Char(' ')) && !textFits(l, f, false))
            wrap = true;
        while (!textFits(l, f, wrap) && !tiny(f))
            f = shrunk(f);
        if (l->wordWrap() != wrap)
            l->setWordWrap(wrap);
    } else if (auto *b = qobject_cast<QAbstractButton *>(c.w.data()); b && !b->text().isEmpty()) {
        b->setFont(f);
        while ((b->sizeHint().width() > b->width() || QFontMetrics(f).height() > b->height()) && !tiny(f)) {
            f = shrunk(f);
            b->setFont(f);
        }
    } else if (auto *e = qobject_cast<QLineEdit *>(c.w.data())) {
        while (QFontMetrics(f).height() + 4 > e->contentsRect().height() && !tiny(f))
            f = shrunk(f);
    } else if (auto *v = qobject_cast<QListView *>(c.w.data()); v && v->gridSize().isValid()) {
        // Items in a fixed grid: the longest must fit its cell.
        auto widest = [v](const QFont &ft) {
            int most = 0;
            const QFontMetrics fm(ft);
            for (int r = 0; v->model() && r < v->model()->rowCount(); ++r)
                most = std::max(most, fm.horizontalAdvance(v->model()->index(r, 0).data().toString()));
            return most;
        };
        const QSize cell = v->gridSize();
        while ((widest(f) + 12 > cell.width() || QFontMetrics(f).height() + 2 > cell.height()) && !tiny(f))
            f = shrunk(f);
    }
    // A box of other controls shows no text of its own: a font set on it would only reach
    // its controls' fonts through the attributes they leave unset, and they have their own.
    const bool holder = isContainer(c.w) || qobject_cast<QScrollArea *>(c.w.data()) || qobject_cast<QScrollBar *>(c.w.data());
    if (c.w->font() != f && !holder)
        c.w->setFont(f);
    c.aFont = c.w->font();
    c.fitKey = key;
}

void ScreenScaler::apply(Control &c, QColor parentBack)
{
    QWidget *w = c.w;
    const QRect design = c.room.isValid() ? c.room : c.geometry;
    const QRect g = c.pane ? scaledInPane(c, design) : scaled(design, c.onScreen);
    if (w->geometry() != g && !c.flows)
        w->setGeometry(g);
    c.aGeometry = w->geometry();
    c.aRoom = c.room;

    const QString sheet = scaledSheet(c.sheet, &c.sheetBack);
    if (w->styleSheet() != sheet)
        w->setStyleSheet(sheet);
    c.aSheet = w->styleSheet();

    if (auto *f = qobject_cast<QFrame *>(w)) {
        int lw = times(c.lineWidth, factor_);
        if (presentation_.highContrast && f->frameShape() != QFrame::NoFrame)
            lw = std::max(lw, times(2, factor_));
        if (f->lineWidth() != lw)
            f->setLineWidth(lw);
        c.aLineWidth = f->lineWidth();
    }
    if (auto *l = qobject_cast<QLabel *>(w)) {
        if (const int m = times(c.margin, factor_); l->margin() != m)
            l->setMargin(m);
        if (const int i = times(c.indent, factor_); c.indent > 0 && l->indent() != i)
            l->setIndent(i);
        if (!c.pixmap.isNull()) {
            const QPixmap p = scaledPicture(c.pixmap, pictureSize(c), w->devicePixelRatioF());
            if (l->pixmap().cacheKey() != p.cacheKey())
                l->setPixmap(p);
        }
        c.aPixmap = l->pixmap().cacheKey();
    }
    if (auto *v = qobject_cast<QListView *>(w); v && c.grid.isValid()) {
        if (const QSize g = (QSizeF(c.grid) * factor_).toSize(); v->gridSize() != g)
            v->setGridSize(g);
        c.aGrid = v->gridSize();
    }
    applyColours(c, effectiveBack(c, parentBack));
    c.fitKey.clear();
    fitText(c, scaledFont(c.font));
}

void ScreenScaler::addStack(Qt::Orientation along, const QList<QList<QWidget *>> &rows, int end)
{
    Stack s{along, {}, end};
    for (const QList<QWidget *> &row : rows)
        s.rows.emplace_back(row.begin(), row.end());
    stacks_.push_back(std::move(s));
    everything_ = true;
}

void ScreenScaler::clearStacks()
{
    stacks_.clear();
    everything_ = true;
}

// The control of `w`; none for a widget never met, or made at the address of a destroyed one.
const ScreenScaler::Control *ScreenScaler::control(const QWidget *w) const
{
    const auto k = known_.constFind(w);
    return k != known_.constEnd() && controls_[*k].w == w ? &controls_[*k] : nullptr;
}

ScreenScaler::Control *ScreenScaler::control(const QWidget *w)
{
    return const_cast<Control *>(std::as_const(*this).control(w));
}

// A control's font in design units: the screen's own if it set one since the scaler's last,
// else the one recorded.
QFont ScreenScaler::designFont(const Control *c, const QWidget *w) const
{
    return c && w->font() == c->aFont ? c->font : w->font();
}

QSizeF ScreenScaler::textSize(const QWidget *w, const QString &text) const
{
    const QFontMetricsF fm(scaledFont(designFont(control(w), w)));
    return QSizeF(fm.horizontalAdvance(text), fm.height()) / factor_;
}

// What a label's text needs along `along` at the presentation's size, frame and margins
// included, in design units (across `width` when vertical); -1 for a control without text.
qreal ScreenScaler::textNeed(const Control &c, Qt::Orientation along, qreal width) const
{
    auto *l = qobject_cast<const QLabel *>(c.w.data());
    if (!l || !l->pixmap().isNull())
        return -1;
    const QFont font = scaledFont(designFont(&c, l));
    const QFontMetrics fm(font);
    // Frame, style-sheet border and padding, margin and indent as the label has them now:
    // at the design's size until the first time it is scaled.
    const qreal now = c.aGeometry.isNull() ? 1.0 : factor_;
    const QRect inside = l->contentsRect();
    const qreal across = (l->width() - inside.width() + 2 * l->margin()) / now;
    const qreal around = (l->height() - inside.height() + 2 * l->margin()) / now;
    // A framed label without an indent of its own indents its text by half an x, as QLabel does.
    const qreal indent = l->indent() < 0 && l->frameWidth() > 0
                             ? std::max(0, fm.horizontalAdvance(QLatin1Char('x')) / 2 - l->margin()) / factor_
                             : std::max(l->indent(), 0) / now;
    const QString text = l->text();
    if (along == Qt::Horizontal) // in a box, a space's breadth on both sides so as not to touch it
        return (measure(font, 100000, Qt::AlignLeft | Qt::AlignTop, text).width()
                + (across > 0 ? 2 * fm.horizontalAdvance(QLatin1Char(' ')) : 0)) / factor_ + across + indent + 1;
    // As fitText lays it out: on one line when it fits there, else wrapped.
    const int px = int((width - across - indent) * factor_);
    const QSize line = measure(font, px, Qt::AlignLeft | Qt::AlignTop, text);
    const bool wrap = c.wordWrap || (text.contains(QLatin1Char(' ')) && line.width() > px);
    const int h = text.isEmpty() ? fm.height()
                  : wrap ? measure(font, px, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text).height()
                         : line.height();
    return h / factor_ + around + 1;
}

// The stacks ask for the same texts' sizes at every sync: each is measured once per font,
// width and text.
QSize ScreenScaler::measure(const QFont &font, int width, int flags, const QString &text) const
{
    const QString key = font.key() + QLatin1Char('\x1f') + QString::number(width) + QLatin1Char('\x1f')
                        + QString::number(flags) + QLatin1Char('\x1f') + text;
    if (const auto hit = measures_.constFind(key); hit != measures_.constEnd())
        return *hit;
    if (measures_.size() > 4096)
        measures_.clear();
    const QSize size = QFontMetrics(font).boundingRect(QRect(0, 0, width, 100000), flags, text).size();
    measures_.insert(key, size);
    return size;
}

// Where row `i` of `s` begins and ends along the stack in the design; begin > end when none
// of its controls is known.
std::pair<int, int> ScreenScaler::rowSpan(const Stack &s, size_t i)
{
    const bool down = s.along == Qt::Vertical;
    int lo = INT_MAX, hi = INT_MIN;
    for (const QPointer<QWidget> &w : s.rows[i])
        if (const Control *c = w ? control(w) : nullptr) {
            lo = std::min(lo, down ? c->geometry.top() : c->geometry.left());
            hi = std::max(hi, down ? c->geometry.y() + c->geometry.height() : c->geometry.x() + c->geometry.width());
        }
    return {lo, hi};
}

// The size each row of `s` gets along the stack; a row holding a control in `fixed` gets
// the size given there.
std::vector<qreal> ScreenScaler::stackSizes(const Stack &s, const QHash<const QWidget *, qreal> &fixed)
{
    const bool down = s.along == Qt::Vertical;
    const size_t n = s.rows.size();
    std::vector<qreal> design(n, 0), need(n, 0), out(n, -1);
    qreal budget = 0;
    int stop = 0;
    bool grows = false;
    for (size_t i = 0; i < n; ++i) {
        const auto [lo, hi] = rowSpan(s, i);
        if (lo > hi)
            continue;
        design[i] = hi - lo;
        need[i] = -1;
        for (const QPointer<QWidget> &w : s.rows[i])
            if (const Control *c = w ? control(w) : nullptr) {
                const qreal t = textNeed(*c, s.along, c->geometry.width());
                const int own = down ? c->geometry.height() : c->geometry.width();
                need[i] = std::max(need[i], t >= 0 ? t + design[i] - own : down && holdsRows(*c) ? own / 4.0 : qreal(own));
                if (fixed.contains(w))
                    out[i] = fixed.value(w);
            }
        budget += design[i];
        stop = hi;
        grows = grows || need[i] > design[i] + 0.5 || (out[i] >= 0 && out[i] != design[i]);
    }
    if (!grows)
        return design;
    budget += std::max(0, s.end - stop);
    qreal taller = 0, spare = 0, demand = 0, base = 0;
    for (size_t i = 0; i < n; ++i) {
        if (out[i] >= 0) {
            budget -= out[i];
            continue;
        }
        taller += std::max(need[i], design[i]);
        spare += std::max(0.0, design[i] - need[i]);
        demand += std::max(0.0, need[i] - design[i]);
        base += std::min(need[i], design[i]);
    }
    for (size_t i = 0; i < n; ++i) {
        if (out[i] >= 0)
            continue;
        if (taller <= budget)
            out[i] = std::max(need[i], design[i]);
        else if (taller - spare <= budget)
            out[i] = need[i] >= design[i] ? need[i] : design[i] - (design[i] - need[i]) * (taller - budget) / spare;
        else
            out[i] = need[i] < design[i] ? need[i] : design[i] + (need[i] - design[i]) * std::max(0.0, budget - base) / demand;
    }
    return out;
}

// Gives every control of a stack its room (Control::room), only while the presentation
// asks for more than the design's text.
void ScreenScaler::layOutStacks()
{
    for (Control &c : controls_)
        c.room = QRect();
    if (stacks_.empty() || (presentation_.textPercent <= 100 && !presentation_.readableFont))
        return;
    // Uses along each orientation: a control in a vertical and a horizontal stack takes its
    // height from one and its width from the other.
    QHash<std::pair<const QWidget *, int>, int> uses;
    for (const Stack &s : stacks_)
        for (const auto &row : s.rows)
            for (const QPointer<QWidget> &w : row)
                ++uses[{w.data(), int(s.along)}];
    std::vector<std::vector<qreal>> sizes;
    for (const Stack &s : stacks_)
        sizes.push_back(stackSizes(s, {}));
    // A control in two stacks along one orientation takes the smaller room, and both stacks
    // lay out around it.
    std::array<QHash<const QWidget *, qreal>, 2> fixed;
    const auto along = [](const Stack &s) { return s.along == Qt::Vertical ? 1 : 0; };
    for (size_t k = 0; k < stacks_.size(); ++k)
        for (size_t i = 0; i < stacks_[k].rows.size(); ++i)
            for (const QPointer<QWidget> &w : stacks_[k].rows[i])
                if (w && uses.value({w.data(), int(stacks_[k].along)}) > 1) {
                    QHash<const QWidget *, qreal> &f = fixed[size_t(along(stacks_[k]))];
                    f[w.data()] = std::min(f.value(w.data(), sizes[k][i]), sizes[k][i]);
                }
    for (size_t k = 0; k < stacks_.size(); ++k)
        if (!fixed[size_t(along(stacks_[k]))].isEmpty())
            sizes[k] = stackSizes(stacks_[k], fixed[size_t(along(stacks_[k]))]);

    for (size_t k = 0; k < stacks_.size(); ++k) {
        const Stack &s = stacks_[k];
        const bool down = s.along == Qt::Vertical;
        qreal at = 0;
        int before = INT_MIN; // where the previous row ended in the design
        for (size_t i = 0; i < s.rows.size(); ++i) {
            const auto [lo, hi] = rowSpan(s, i);
            if (lo > hi)
                continue;
            at = before == INT_MIN ? lo : at + (lo - before);
            const qreal d = hi - lo;
            const qreal size = sizes[k][i];
            for (const QPointer<QWidget> &w : s.rows[i]) {
                Control *c = w ? control(w) : nullptr;
                if (!c)
                    continue;
                const QRect g = c->geometry;
                const int from = down ? g.top() : g.left();
                const int own = down ? g.height() : g.width();
                qreal start = at + (from - lo), length = own + (size - d);
                if (textNeed(*c, s.along, g.width()) < 0 && own < d) {
                    // Without text: its size, centred where it was in the row.
                    length = own;
                    start = at + (from - lo + own / 2.0) * size / d - own / 2.0;
                }
                QRect r = c->room.isValid() ? c->room : g;
                const int first = int(std::lround(start)), past = int(std::lround(start + length));
                if (down) {
                    r.setTop(first);
                    r.setHeight(past - first);
                } else {
                    r.setLeft(first);
                    r.setWidth(past - first);
                    // Along a line the text's height grows too, downwards.
                    r.setHeight(std::max(g.height(), int(std::ceil(textNeed(*c, Qt::Vertical, r.width())))));
                }
                c->room = r;
            }
            at += size;
            before = hi;
        }
    }
}

qreal ScreenScaler::textShare(const QWidget *w) const
{
    const Control *c = control(w);
    const bool laidOut = body_ && body_->isAncestorOf(w);
    if (!c && !laidOut)
        return 1.0;
    if (laidOut && !hasDesignText(w))
        return 1.0;
    const QFont want = scaledFont(laidOut ? designTextOf(w) : c->font);
    const QFont drawn = w->font();
    if (want.pointSizeF() > 0 && drawn.pointSizeF() > 0)
        return drawn.pointSizeF() / want.pointSizeF();
    return want.pixelSize() > 0 && drawn.pixelSize() > 0 ? qreal(drawn.pixelSize()) / want.pixelSize() : 1.0;
}

void ScreenScaler::sync()
{
    if (syncing_)
        return;
    syncing_ = true;
    const QSize s = screen_->size();
    const qreal f = std::min(s.width() / qreal(design_.width()), s.height() / qreal(design_.height()));
    if (!qFuzzyCompare(f, factor_) || canvas_.size() != (QSizeF(design_) * f).toSize())
        everything_ = true;
    factor_ = f;
    const QSize c = (QSizeF(design_) * f).toSize();
    canvas_ = QRect(QPoint((s.width() - c.width()) / 2, (s.height() - c.height()) / 2), c);

    if (body_) {
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
        return;
    }
    collect(screen_, true);
    // The stacks lay out from the design as the screen set it now: a screen that arranged
    // itself otherwise must not get rooms worked out from its former places.
    for (Control &ctl : controls_)
        if (ctl.w && ctl.w->geometry() != ctl.aGeometry && !ctl.flows)
            ctl.geometry = ctl.w->geometry();
    layOutStacks();
    if (everything_)
        applyScreenPalette();

    QHash<QWidget *, QColor> backs;
    const QColor screenBack = presentation_.highContrast ? kBlack : QColor();
    for (Control &ctl : controls_) {
        QWidget *w = ctl.w;
        if (!w)
            continue;
        bool changed = everything_;
        if (w->geometry() != ctl.aGeometry && !ctl.flows) {
            ctl.geometry = w->geometry();
            changed = true;
        }
        if (w->font() != ctl.aFont) {
            ctl.font = w->font();
            changed = true;
        }
        if (ctl.room != ctl.aRoom)
            changed = true;
        if (w->styleSheet() != ctl.aSheet) {
            ctl.sheet = w->styleSheet();
            changed = true;
        }
        if (auto *fr = qobject_cast<QFrame *>(w); fr && fr->lineWidth() != ctl.aLineWidth) {
            ctl.lineWidth = fr->lineWidth();
            changed = true;
        }
        if (auto *l = qobject_cast<QLabel *>(w); l && l->pixmap().cacheKey() != ctl.aPixmap) {
            ctl.pixmap = l->pixmap();
            changed = true;
        }
        if (auto *v = qobject_cast<QListView *>(w); v && v->gridSize() != ctl.aGrid) {
            ctl.grid = v->gridSize();
            changed = true;
        }
        if (w->testAttribute(Qt::WA_SetPalette)) {
            const QColor back = w->palette().color(QPalette::Window);
            const QColor text = w->palette().color(QPalette::WindowText);
            if (w->autoFillBackground() && back != ctl.back && back != ctl.aBack) {
                ctl.back = back;
                changed = true;
            }
            if (text != ctl.text && text != ctl.aText) {
                ctl.text = text;
                changed = true;
            }
        }
        const QColor parentBack = backs.value(w->parentWidget(), screenBack);
        if (changed)
            apply(ctl, parentBack);
        else
            fitText(ctl, scaledFont(ctl.font));
        // After apply: a control met for the first time has its sheet's colour only now.
        if (presentation_.highContrast)
            backs.insert(w, effectiveBack(ctl, parentBack));
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
        const QColor base = contrastBack(Qt::white);
        p.setColor(QPalette::Window, kBlack);
        p.setColor(QPalette::WindowText, contrastText(kBlack));
        p.setColor(QPalette::Base, base);
        p.setColor(QPalette::Text, contrastText(base));
        p.setColor(QPalette::Button, kBlack);
        p.setColor(QPalette::ButtonText, contrastText(kBlack));
        p.setColor(QPalette::Highlight, kBlack);
        p.setColor(QPalette::HighlightedText, contrastText(kBlack));
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
    body->setProperty(kUnscaledProperty, true);
    body->setProperty(kBodyProperty, true);
    everything_ = true;
}

} // namespace qv::ui
