// Base of every screen: drawn at the design's 1016 × 730 proportions on its real size. A
// screen holds its layouts in its body (makeBody), which the ScreenScaler keeps on the
// canvas, and sets their lengths for the look in layOut(). The pupils' screens fill the display (full screen, the desktop out of reach)
// and follow the pupil's presentation: in the program they take turns in one PupilWindow,
// on their own they are windows of their own. The teacher's archive is a normal window that
// can be resized. The program's background picture when it has one.
#pragma once

#include "storage/session.h"
#include "ui/application.h"
#include "ui/access/screenscaler.h"
#include "ui/screensize.h"

#include <QFont>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <vector>

namespace qv::ui {

class ClickLabel;

// The program's sans-serif face (installed with the fonts-liberation package).
QFont sans(qreal points, bool bold = false);

// The picture in `file`, decoded once while the file stays the same: every screen shows the
// same background, and the maps come back with every pupil. False if it cannot be read.
bool loadPicture(const QString &file, QPixmap *out);

// Room kept where `w` is hidden for now: its neighbours in the layout keep their places.
void keepsRoom(QWidget *w);

class ScreenBase : public QWidget {
    Q_OBJECT
public:
    ScreenBase(Application &app, const QString &caption);

    // Once, when the screen is created.
    virtual void load() {}
    // Every time the screen is shown.
    virtual void activate() {}
    // What load() left for after the screen's first paint when the program starts
    // (Application::start); also called by the screen itself before its first use of it.
    virtual void afterFirstPaint() {}
    // A screen whose set-up failed asks not to be shown.
    bool keepHidden() const { return keepHidden_; }
    // Shows the "Ascolta" buttons the pupil at work has (see listenButton).
    void refreshListenButtons();
    // Shows the screen: full screen for the pupils, a normal window for the teacher.
    void present();
    // Makes a hidden screen ready for its first showing without showing it: laid out at the
    // size present() gives and painted once (see PupilWindow::prepare); a screen of its own
    // has its window made and painted into its backing store. Nothing reaches the display,
    // the keyboard or the active window.
    void prepareOutOfSight();
    bool fillsScreen() const { return fillsScreen_; }
    // A test screen is left only through its own buttons: the window manager's close
    // (Alt+F4, the title bar) would take the pupil to the desktop in the middle of a test.
    void setLeftOnlyByItsButtons() { leftOnlyByItsButtons_ = true; }
    ScreenScaler *scaler() const { return scaler_; }

protected:
    Session &session() { return app_.session(); }
    Modquorv &state() { return app_.state(); }
    Application &app() { return app_; }
    // Takes "formavvio3.jpg" of the data folder as background; false if it cannot be read.
    bool loadBackground();
    // The same for the test screens, which go on without it: the pupil is told once per
    // screen that the picture is missing.
    void loadBackgroundOrWarn();
    // A raised label used as a button ("Esco", "Frase seguente"...), bold, centred.
    ClickLabel *raisedButton(const QString &name, const QString &caption, qreal points, int lineWidth,
                             const QColor &back);
    // An "Ascolta" button (a raised button) that reads `text()` aloud. It is shown only
    // to a pupil with read-aloud (for a reading passage: with the passages too) and, when
    // given, while `when()` holds; refreshListenButtons() applies this again.
    ClickLabel *listenButton(const QString &name, const QString &caption, std::function<QString()> text,
                             bool passage = false, std::function<bool()> when = {});
    void setKeepHidden(bool v) { keepHidden_ = v; }
    // The page that holds the screen's layouts, in a scrolling box kept on the canvas (the
    // design's proportions, centred). Once, in the constructor.
    QWidget *makeBody();
    // The look changed (display size, presentation): fonts and colours are applied already;
    // the screen sets the lengths of its layouts (margins, spacing, least sizes) and its
    // boxes' sheets from `look`.
    virtual void layOut(const Look &) {}
    Look look() const { return scaler_->look(); }
    // A control's own text colour, from now on, in the look in force (mapped in high contrast).
    void setInk(QWidget *w, const QColor &ink);
    // A control's own background, likewise.
    void setBack(QWidget *w, const QColor &back);
    // What a screen can make ready for its first showing before its pupil is known (a
    // picture decoded and set); called by prepareOutOfSight().
    virtual void prepare() {}
    void closeEvent(QCloseEvent *e) override;
    // The teacher's screens: a normal resizable window, in the default presentation.
    void setTeacherWindow();
    void paintEvent(QPaintEvent *e) override;

    Application &app_;
    QPixmap background_;
    QPixmap shownBackground_; // background_ at the size drawn
    ScreenScaler *scaler_;
    bool fillsScreen_ = true;
    bool keepHidden_ = false;
    bool leftOnlyByItsButtons_ = false;
    bool backgroundWarned_ = false;

private:
    struct Listen {
        ClickLabel *button;
        bool passage;
        std::function<bool()> when;
    };
    std::vector<Listen> listen_;
};

} // namespace qv::ui
