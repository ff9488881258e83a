// The application object: owns the session (shared state and seams) and the screen
// registry. A screen is created the first time it is shown (or ahead of it, in idle time,
// see setPreparesAhead), afterwards only hidden and shown again, and can be unloaded (the
// start screen in its one reload case).
#pragma once

#include "storage/session.h"
#include "ui/access/presentation.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace qv::ui {

class PupilWindow;
class ScreenBase;

class Application : public QObject, public Navigator {
    Q_OBJECT
public:
    using Factory = std::function<ScreenBase *(Application &)>;

    Application(Dialogs &dialogs, Clock &clock, Exit &exit, QString dataDir);
    ~Application() override;

    Session &session() { return session_; }
    Modquorv &state() { return session_.state; }

    void setFactory(Screen s, Factory f);
    // Loads the screen when needed, sets it up (ScreenBase::activate) and shows it.
    void show(Screen s) override;
    void hide(Screen s) override;
    // Destroys the screen (later, so a screen may unload itself from its own handler).
    void unload(Screen s) override;

    // The loaded screen, or nullptr.
    ScreenBase *screen(Screen s) const;
    template<class T> T *screenAs(Screen s) const { return dynamic_cast<T *>(screen(s)); }
    // Loads without showing (for the archive's caption set before its show).
    ScreenBase *load(Screen s);
    // The program's start: the start screen shown and painted first, then, at once, what
    // its load left for later (the results file opened, ScreenBase::afterFirstPaint) and
    // the copy of the results, so the pupils see the screen without waiting for either.
    void start();
    // True while start() loads the start screen: the results are opened after its paint.
    bool starting() const { return starting_; }
    // The copy of the results made at every start: once the start screen has been
    // painted, so the pupils never wait for it. A failure is kept for the teacher and
    // never stops the program.
    void copyAfterFirstPaint();

    // While the start or the name-entry screen is on show, the screens that come next are
    // made ready one at a time in idle time (created, laid out and painted out of sight, see
    // ScreenBase::prepareOutOfSight), so that their first showing costs no more than the
    // next ones. Off by default, so that a test builds only the screens it shows.
    void setPreparesAhead(bool on);
    // True while screens are left to prepare.
    bool preparing() const;

    // How the pupils' screens are drawn now; screens redraw on presentationChanged().
    const Presentation &presentation() const { return presentation_; }
    // Changing it makes the hidden screens ready again, in idle time on the start and the
    // name-entry screens, in the new presentation.
    void setPresentation(const Presentation &p);
    // How `t` asks the screens to present themselves.
    static Presentation presentationFor(const PupilTools &t);

signals:
    void presentationChanged();

private:
    // One screen made ready, and the next step planned, while the pupil is on the start or
    // the name-entry screen.
    void prepareNext();
    // The first screen, in a pupil's order, not yet made ready.
    std::optional<Screen> nextToPrepare() const;
    void planPreparation();

    Presentation presentation_;
    Session session_;
    std::map<Screen, Factory> factories_;
    // The pupils' screens' one window, made with the first of them.
    std::unique_ptr<PupilWindow> pupilWindow_;
    std::map<Screen, ScreenBase *> screens_;
    bool preparesAhead_ = false;
    bool starting_ = false;
    std::set<Screen> prepared_;
    QTimer prepareTimer_;
};

// Registers every screen of the program.
void registerScreens(Application &app);

} // namespace qv::ui
