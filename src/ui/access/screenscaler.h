// Keeps a screen's body (its layouts' page, a scrolling box) on the canvas: the largest area of
// the design's 1016 × 730 proportions the screen holds, centred, plain bars beside it. When the
// display's size or the pupil's presentation changes it applies the look (look.h) to the body
// and tells the screen, which sets its layouts' lengths; the layouts do the rest.
#pragma once

#include "ui/access/look.h"
#include "ui/access/presentation.h"

#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>
#include <memory>

namespace qv::ui {

// Set on the body of a screen (see setBody).
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
    // The screen's content: kept on the canvas; `relaid` is called with the new look once it
    // has been applied to the body's fonts and colours.
    void setBody(QWidget *body, std::function<void(const Look &)> relaid);
    Look look() const { return {factor_, presentation_}; }
    // Brings the body in line with the screen's size and the presentation.
    void sync();
    // The share of the size the look asks for that a control's text is drawn at: 1 when it
    // got all of it (every control without a design text size counts as 1).
    qreal textShare(const QWidget *w) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyScreenPalette();

    QWidget *screen_;
    QSize design_;
    qreal factor_ = 1.0;
    QRect canvas_;
    bool follows_ = true;
    bool syncing_ = false;
    bool everything_ = true; // size or presentation changed since the last sync
    Presentation presentation_;
    std::unique_ptr<QPalette> screenPalette_; // the screen's own, while high contrast replaces it
    QPointer<QWidget> body_;
    std::function<void(const Look &)> relaid_;
};

} // namespace qv::ui
