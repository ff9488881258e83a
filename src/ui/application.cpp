#include "ui/application.h"

#include "archive/backup.h"
#include "ui/access/focusring.h"
#include "ui/access/keyboard.h"
#include "ui/access/labelbutton.h"
#include "ui/access/screenaccess.h"
#include "ui/pupilwindow.h"
#include "ui/screenbase.h"

#include <QEvent>
#include <QTimer>

namespace qv::ui {

Application::Application(Dialogs &dialogs, Clock &clock, Exit &exit, QString dataDir)
    : session_(dialogs, clock, exit, *this, std::move(dataDir))
{
    installLabelButtons();
    installScreenAccess();
    new FocusRing(this);
    prepareTimer_.setSingleShot(true);
    connect(&prepareTimer_, &QTimer::timeout, this, &Application::prepareNext);
}

Application::~Application()
{
    for (auto &entry : screens_)
        delete entry.second;
    screens_.clear();
    // Cursors go before the database they read.
    session_.state.rsclasse.reset();
    session_.state.dbrisultati.reset();
}

namespace {
// Runs `work` once, soon after the first paint of the watched widget.
class AfterFirstPaint : public QObject {
public:
    AfterFirstPaint(QWidget *w, std::function<void()> work) : QObject(w), work_(std::move(work)) { w->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && work_) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                auto work = std::move(work_);
                work();
                deleteLater();
            });
        }
        return QObject::eventFilter(watched, e);
    }

private:
    std::function<void()> work_;
};
} // namespace

void Application::start()
{
    starting_ = true;
    show(Screen::FLINIZIO);
    starting_ = false;
    copyAfterFirstPaint();
}

void Application::copyAfterFirstPaint()
{
    ScreenBase *start = screen(Screen::FLINIZIO);
    if (!start)
        return;
    new AfterFirstPaint(start, [this, start] {
        start->afterFirstPaint();
        if (session_.state.dbrisultati)
            makeBackup(*session_.state.dbrisultati, session_.dataFile(QString::fromLatin1(kBackupFolder)),
                       session_.clock.now());
    });
}

void Application::setFactory(Screen s, Factory f)
{
    factories_[s] = std::move(f);
}

ScreenBase *Application::screen(Screen s) const
{
    auto it = screens_.find(s);
    return it == screens_.end() ? nullptr : it->second;
}

namespace {
bool isTest(Screen s)
{
    return s != Screen::FLINIZIO && s != Screen::FrmNOME && s != Screen::FLstampa;
}
} // namespace

ScreenBase *Application::load(Screen s)
{
    if (ScreenBase *w = screen(s))
        return w;
    auto f = factories_.find(s);
    if (f == factories_.end())
        return nullptr;
    ScreenBase *w = f->second(*this);
    if (!w)
        return nullptr;
    w->setObjectName(QString::fromLatin1(screenName(s)));
    screens_[s] = w;
    if (w->fillsScreen()) {
        if (!pupilWindow_)
            pupilWindow_ = std::make_unique<PupilWindow>();
        pupilWindow_->adopt(w);
    } else {
        w->move(0, 0);
    }
    if (isTest(s))
        w->setLeftOnlyByItsButtons();
    w->load();
    enterPressesButtons(w);
    readableByKeyboard(w);
    return w;
}

void Application::show(Screen s)
{
    // The pupil's tools hold from the first test shown until the start screen is back.
    Modquorv &st = session_.state;
    if (s == Screen::FLINIZIO) {
        st.strumenti = PupilTools();
        session_.resetSpeechNotice();
    }
    if (s == Screen::FLINIZIO || isTest(s))
        setPresentation(presentationFor(st.strumenti));
    if (isTest(s) && st.strumenti.readAloud)
        session_.prepareSpeech();
    if (s == Screen::FLINIZIO || s == Screen::FrmNOME)
        planPreparation();
    else
        prepareTimer_.stop();
    ScreenBase *w = load(s);
    if (!w)
        return;
    w->activate();
    // activate() may itself have handed over or ended the program.
    if (screen(s) == w && !w->keepHidden()) {
        w->refreshListenButtons();
        w->present();
        // The keyboard follows the screen on show, and leaves the one handing over.
        w->activateWindow();
        focusInto(w);
    }
}

namespace {
// The pupils' screens made ready ahead, in the order a pupil meets them. Not the archive: the
// teacher's password check dwarfs its first showing.
constexpr Screen kPreparedOrder[] = {Screen::FrmNOME,  Screen::FLETTURA,  Screen::FLgrasem,
                                     Screen::FLogsem,  Screen::FLfrasi,   Screen::FLstoria1,
                                     Screen::FLstoria2, Screen::FLcartge};
// The pause before the first step, so the screen just shown is painted and the copy of the
// results made first, and between steps, so that the pupil's keys and clicks come between.
constexpr int kFirstStepMs = 300;
constexpr int kNextStepMs = 30;
} // namespace

void Application::setPreparesAhead(bool on)
{
    preparesAhead_ = on;
    if (!on)
        prepareTimer_.stop();
}

std::optional<Screen> Application::nextToPrepare() const
{
    for (Screen s : kPreparedOrder)
        if (!prepared_.count(s) && factories_.count(s))
            return s;
    return std::nullopt;
}

bool Application::preparing() const
{
    return preparesAhead_ && nextToPrepare();
}

void Application::planPreparation()
{
    if (preparing() && !prepareTimer_.isActive())
        prepareTimer_.start(kFirstStepMs);
}

void Application::prepareNext()
{
    // Only while the pupil is on the start or the name-entry screen: never during a test,
    // nor once the program has hidden its windows to end.
    const ScreenBase *start = screen(Screen::FLINIZIO);
    const ScreenBase *nome = screen(Screen::FrmNOME);
    if (!(start && start->isVisible()) && !(nome && nome->isVisible()))
        return;
    // Two steps a screen, each short: first made, then drawn.
    if (const std::optional<Screen> s = nextToPrepare()) {
        if (ScreenBase *w = screen(*s)) {
            if (!w->isVisible())
                w->prepareOutOfSight();
            prepared_.insert(*s);
        } else {
            load(*s);
        }
    }
    if (preparing())
        prepareTimer_.start(kNextStepMs);
}

void Application::hide(Screen s)
{
    if (ScreenBase *w = screen(s))
        w->hide();
}

void Application::unload(Screen s)
{
    auto it = screens_.find(s);
    if (it == screens_.end())
        return;
    ScreenBase *w = it->second;
    screens_.erase(it);
    prepared_.erase(s);
    w->hide();
    w->deleteLater();
}

void Application::setPresentation(const Presentation &p)
{
    if (p == presentation_)
        return;
    presentation_ = p;
    emit presentationChanged();
    prepared_.clear();
    planPreparation();
}

Presentation Application::presentationFor(const PupilTools &t)
{
    return Presentation{t.textPercent, t.readableFont, t.highContrast};
}

} // namespace qv::ui
