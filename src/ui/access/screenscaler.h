// Fits a screen drawn at fixed design coordinates to whatever size its window has. Each
// control's design geometry, font, frame lines, margins, style-sheet lengths, grid and
// picture are recorded and applied × factor, the drawing centred with plain bars where the
// window's aspect differs from the design's. It also applies the pupil's presentation
// (larger text, readable font, high contrast) and makes every label's text fit its box:
// it wraps, and shrinks only as a last resort, never cuts. Screens keep changing their
// controls in design units as before; each change is picked up before the next paint.
// For a screen laid out by Qt's layouts (setBody) it does one job only: it keeps the body on
// the canvas and applies the look (look.h) when the display's size or the presentation
// changes; the rest of it serves the screens still placed at design coordinates.
#pragma once

#include "ui/access/look.h"
#include "ui/access/presentation.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPalette>
#include <QPixmap>
#include <QPointer>
#include <QHash>
#include <QRect>
#include <QWidget>
#include <climits>
#include <functional>
#include <utility>
#include <memory>
#include <vector>

class QScrollArea;

namespace qv::ui {

// Set (to true) on a child the scaler must leave alone: one placed from scaled geometry.
inline constexpr const char *kUnscaledProperty = "qvUnscaled";
// Set on the body of a screen laid out by Qt's layouts (see setBody).
inline constexpr const char *kBodyProperty = "qvScreenBody";

class ScreenScaler : public QObject {
    Q_OBJECT
public:
    ScreenScaler(QWidget *screen, QSize design);

    qreal factor() const { return factor_; }
    // Where the design is drawn inside the screen now.
    QRect canvas() const { return canvas_; }
    // Whether the pupil's presentation applies (not to the teacher's archive).
    void setFollowsPresentation(bool v) { follows_ = v; }
    void setPresentation(const Presentation &p);
    const Presentation &presentation() const { return presentation_; }
    // A screen laid out by Qt's layouts inside `body`: the scaler then only keeps the body on
    // the canvas and, when the display's size or the presentation changes, applies the look
    // to it (look.h) and calls `relaid` for the screen's own lengths. Nothing under the body
    // is recorded or moved.
    void setBody(QWidget *body, std::function<void(const Look &)> relaid);
    Look look() const { return {factor_, presentation_}; }
    // Brings every control in line with the window's size, picking up the changes the
    // screen made since (in design units) and any control added since.
    void sync();
    // The share of the size the presentation asks for that a control's text is drawn at:
    // 1 when it got all of it, less when it had to shrink to fit its box.
    qreal textShare(const QWidget *w) const;
    // Rows (each one or more controls side by side) that make room for the pupil's larger
    // text instead of shrinking it: along `along` each row takes the size its texts need,
    // the rows after it move on, up to `end` (in design units), with the free space before
    // `end` and what rows needing less than their design size give up. Controls without
    // text keep their size, centred where they were in their row. A control may belong to
    // two stacks (a heading over two columns): it gets the smaller room. When every text
    // fits its design size the design is kept exactly.
    void addStack(Qt::Orientation along, const QList<QList<QWidget *>> &rows, int end);
    // Forgets every stack: for a screen whose rows change with what it shows.
    void clearStacks();
    // A stack's end for rows that take all they need: the rows of a scrolling box (a
    // QScrollArea whose widget is a plain QWidget holding them). Such a box, or a list, in a
    // stack of the screen gives up height down to a quarter of its own: its rows scroll.
    static constexpr int kNoEnd = INT_MAX;
    // The height, in design units, a label's text needs across `width` design units at the
    // presentation's size, frame and margins included; -1 for a control without text.
    qreal textHeight(QWidget *w, int width);
    // The size `text` takes on one line in `w`'s font at the presentation's size, in design units.
    QSizeF textSize(const QWidget *w, const QString &text) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Control {
        QPointer<QWidget> w;
        bool onScreen = false; // a direct child of the screen: it takes the bars' offset
        bool flows = false; // the text of a scrolling box: the box sizes it, it never shrinks
        // Set for a row of a scrolling box: its design geometry is within the box's rows.
        QPointer<QScrollArea> pane;
        // As the screen set them.
        QRect geometry;
        QFont font;
        QString sheet;
        int lineWidth = 0;
        int margin = 0;
        int indent = -1;
        bool wordWrap = false;
        QPixmap pixmap;
        QSize grid;
        QColor back; // own background colour, invalid when none
        QColor text; // own text colour, invalid when none
        QColor sheetBack; // the first background its style sheet sets
        // As last applied here, to tell the screen's later changes.
        QRect aGeometry;
        QFont aFont;
        QString aSheet;
        int aLineWidth = -1;
        qint64 aPixmap = 0;
        QSize aGrid;
        QColor aBack;
        QColor aText;
        QString fitKey;
        QRect room; // the design geometry a stack gives it, invalid when none
        QRect aRoom;
    };
    struct Stack {
        Qt::Orientation along;
        std::vector<std::vector<QPointer<QWidget>>> rows;
        int end;
    };

    void collect(QWidget *parent, bool onScreen, QScrollArea *pane = nullptr);
    void collectFlowing(QWidget *w);
    void record(Control &c);
    void apply(Control &c, QColor parentBack);
    void applyColours(Control &c, const QColor &effectiveBack);
    void fitText(Control &c, const QFont &font);
    QRect scaled(const QRect &r, bool onScreen) const;
    QRect scaledInPane(const Control &c, const QRect &r) const;
    QSize pictureSize(const Control &c) const;
    bool holdsRows(const Control &c) const;
    QFont scaledFont(const QFont &design) const;
    QString scaledSheet(const QString &design, QColor *back) const;
    QColor effectiveBack(const Control &c, const QColor &parentBack) const;
    QString fitKey(const Control &c, const QFont &font) const;
    const Control *control(const QWidget *w) const;
    Control *control(const QWidget *w);
    QFont designFont(const Control *c, const QWidget *w) const;
    qreal textNeed(const Control &c, Qt::Orientation along, qreal width) const;
    QSize measure(const QFont &font, int width, int flags, const QString &text) const;
    std::pair<int, int> rowSpan(const Stack &s, size_t i);
    std::vector<qreal> stackSizes(const Stack &s, const QHash<const QWidget *, qreal> &fixed);
    void layOutStacks();
    void applyScreenPalette();

    QWidget *screen_;
    QSize design_;
    qreal factor_ = 1.0;
    QRect canvas_;
    bool follows_ = true;
    bool syncing_ = false;
    bool everything_ = true; // size or presentation changed: apply all, not only changes
    Presentation presentation_;
    std::unique_ptr<QPalette> screenPalette_; // the screen's own, while high contrast replaces it
    std::vector<Control> controls_; // parents before their children
    QHash<const QWidget *, size_t> known_; // where each control's widget is in controls_
    std::vector<Stack> stacks_;
    QPointer<QWidget> body_;
    std::function<void(const Look &)> relaid_;
    mutable QHash<QString, QSize> measures_; // see measure()
};

} // namespace qv::ui
