// Screen-change benchmark. Builds the application with its screen registry on a scratch
// data folder (made by the same code as mkquorvane, with the pictures copied in) and
// takes one pupil after another through the whole battery by clicking the real controls:
// the start screen, name entry, the seven tests, the archive and back. Every change of
// screen is timed from the click that leaves a screen to the end of the first paint of the
// next one. The first round shows each screen for the first time; later rounds show them
// again, as for the next pupil. As in the program, the screens are made ready ahead in idle time while the
// start screen is on show (Application::setPreparesAhead): the tour waits there until they
// are (at most 10 s; a pupil takes longer to choose the class and type a name) and says how
// long it took; --no-prepare leaves them to their first showing. The class holds the
// finished results of 25 pupils before the first, so the lists have names. Message boxes are
// answered at once. The platform is the one QT_QPA_PLATFORM names.
//
//   bench_screens [--rounds N] [--text P] [--no-prepare] [folder with the pictures]
//
// --text P gives every pupil larger text (P %, 125 or 150) through name entry's tools
// button, as the teacher sets it; the tour then waits while the screens are made ready again
// in that presentation, as they are while the pupil types the name.
//
// One line per change: "change <from> <to> <round> <milliseconds> <minor page faults>"; the
// faults count the fresh memory the change touched (a new window's backing store, 3 MB at
// the design's size, would be most of it; the pupils' screens share one window, the
// archive has its own), which costs far more on some machines than on others. And
// "prepared <milliseconds> <resident MB>" once the screens are ready, "resident <MB>" at the end.
#include "battery/analysis/analysismodel.h"
#include "battery/analysis/storiacontent.h"
#include "battery/comprehension/frasicontent.h"
#include "battery/comprehension/letturacontent.h"
#include "battery/geography/cartgecontent.h"
#include "startup/datafolder.h"
#include "storage/classmap.h"
#include "storage/database.h"
#include "storage/pupilrecord.h"
#include "storage/recordset.h"
#include "ui/application.h"
#include "ui/screens/archiveentry.h"
#include "ui/screens/flcartge.h"
#include "ui/screens/flettura.h"
#include "ui/screens/flfrasi.h"
#include "ui/screens/flgrasem.h"
#include "ui/screens/flinizio.h"
#include "ui/screens/flogsem.h"
#include "ui/screens/flstampa.h"
#include "ui/screens/flstoria1.h"
#include "ui/screens/flstoria2.h"
#include "ui/screens/frmnome.h"
#include "ui/widgets/clicklabel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <cstdlib>
#include <functional>

#include <sys/resource.h>

namespace {

using qv::Screen;
using namespace qv::ui;

[[noreturn]] void fail(const QString &why)
{
    QTextStream(stderr) << "bench_screens: " << why << Qt::endl;
    std::exit(1);
}

const QString kFinito = QStringLiteral("IL TEST E' FINITO");

// Message boxes answer at once: "Cancel" / "No" to questions. Every text is kept, so that
// a message the tour does not expect (a step the driver got wrong) stops the benchmark.
class InstantDialogs : public qv::Dialogs {
public:
    bool ask(const QString &text, Buttons) override
    {
        texts << text;
        return false;
    }
    QString chooseFolder(const QString &, const QString &) override { return {}; }
    QString chooseSaveFile(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<qv::PupilTools> askTools(const QString &, const qv::PupilTools &) override { return tools; }
    DiskSecret askDiskPassphrase(const QString &, bool) override { return {}; }
    // The teacher's password, chosen the first time the archive opens and given after.
    QStringList askLogin(const QString &, const QString &, const QString &) override { return {}; }
    QStringList askPasswords(const QString &, const QString &, const QStringList &labels) override
    {
        if (labels.size() == 2)
            choosing = true;
        return QStringList(labels.size(), QStringLiteral("maestra-banco"));
    }
    void alert(const QString &text) override
    {
        if (choosing) // the password saved: not a step of the tour
            choosing = false;
        else
            texts << text;
    }
    bool choosing = false;
    QStringList texts;
    std::optional<qv::PupilTools> tools; // the pupils' tools, when they have any
};

class SystemClock : public qv::Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class NoExit : public qv::Exit {
public:
    void endProgram() override { fail(QStringLiteral("the program asked to end")); }
};

long minorFaults()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_minflt;
}

long residentMegabytes()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> pages = f.readAll().split(' ');
    return pages.size() > 1 ? pages.at(1).toLong() * 4096 / (1024 * 1024) : -1;
}

// A press and a release of the left button at `pos` (the middle when not given).
void click(QWidget *w, QPoint pos = QPoint(-1, -1))
{
    if (pos.x() < 0)
        pos = w->rect().center();
    const QPointF global = w->mapToGlobal(QPointF(pos));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(pos), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(pos), global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

void clickRow(QListWidget *list, int row)
{
    QListWidgetItem *item = list->item(row);
    if (!item)
        fail(QStringLiteral("%1 has no row %2").arg(list->objectName()).arg(row));
    list->scrollToItem(item);
    click(list->viewport(), list->visualItemRect(item).center());
}

// Runs the event loop for `ms`: repaints, timers and window-system events are done, and the
// windows unloaded meanwhile are deleted, as the program's own event loop deletes them (a
// loop nested here would leave them, and every name entry would take fresh memory).
void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Times a click to the end of the first paint of a screen. The filter sits on the whole
// application, since the screen may not exist before the click.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(Application &app) : app_(app) { qApp->installEventFilter(this); }

    double milliseconds(Screen to, const std::function<void()> &leave)
    {
        target_ = to;
        armed_ = true;
        done_ = false;
        QEventLoop loop;
        loop_ = &loop;
        timer_.start();
        leave();
        if (!done_) {
            QTimer::singleShot(5000, &loop, &QEventLoop::quit);
            loop.exec();
        }
        loop_ = nullptr;
        armed_ = false;
        if (!done_)
            fail(
                QStringLiteral("%1 was not painted within 5 s").arg(QString::fromLatin1(qv::screenName(to))));
        return double(ns_) / 1e6;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (armed_ && e->type() == QEvent::Paint && watched == static_cast<QObject *>(app_.screen(target_))) {
            armed_ = false;
            // The screen's children and the flush to the window system are painted within
            // this same event; a queued call runs once all that is done.
            QTimer::singleShot(0, this, [this] {
                ns_ = timer_.nsecsElapsed();
                done_ = true;
                if (loop_)
                    loop_->quit();
            });
        }
        return false;
    }

private:
    Application &app_;
    Screen target_ = Screen::FLINIZIO;
    bool armed_ = false;
    bool done_ = false;
    qint64 ns_ = 0;
    QElapsedTimer timer_;
    QEventLoop *loop_ = nullptr;
};

class Tour {
public:
    Tour(Application &app, InstantDialogs &dialogs) : app_(app), dialogs_(dialogs), watch_(app) {}

    void start()
    {
        watch_.milliseconds(Screen::FLINIZIO, [this] { app_.show(Screen::FLINIZIO); });
        QTextStream(stdout) << "prepared " << waitForPreparation() << ' ' << residentMegabytes() << Qt::endl;
    }

    // Until the screens are ready (at most 10 s; a pupil takes longer to choose the class and
    // type a name); how long it took, in ms.
    qint64 waitForPreparation()
    {
        QElapsedTimer waited;
        waited.start();
        while (app_.preparing() && waited.elapsed() < 10000)
            settle(20);
        if (app_.preparing())
            fail(QStringLiteral("the screens were not ready within 10 s"));
        return waited.elapsed();
    }

    // One pupil through the battery, then the archive and back to the start screen.
    void round(int n)
    {
        round_ = n;
        auto *start = on<FLINIZIO>(Screen::FLINIZIO);
        step(start->LabAVVIO);
        step(start->Label1[0]);
        change(Screen::FLINIZIO, Screen::FrmNOME, start->Labinizio);

        auto *nome = on<FrmNOME>(Screen::FrmNOME);
        nome->Text1->setText(QStringLiteral("Prova"));
        nome->Text4->setText(QStringLiteral("Alunno %1").arg(n));
        if (dialogs_.tools) {
            step(nome->CmdSTRUMENTI);
            waitForPreparation();
        }
        change(Screen::FrmNOME, Screen::FLETTURA, nome->CmdOK);

        lettura();
        analysis<FLgrasem>(Screen::FLgrasem, Screen::FLogsem);
        analysis<FLogsem>(Screen::FLogsem, Screen::FLfrasi);
        frasi();
        storia1();
        storia2();
        cartge();

        change(Screen::FLINIZIO, Screen::FLstampa, start->Labarchivio);
        change(Screen::FLstampa, Screen::FLINIZIO, on<FLstampa>(Screen::FLstampa)->cmdtorno);
    }

private:
    // The screen, which must be on show.
    template<class T> T *on(Screen s)
    {
        T *w = app_.screenAs<T>(s);
        if (!w || !w->isVisible())
            fail(QStringLiteral("%1 is not on show").arg(QString::fromLatin1(qv::screenName(s))));
        return w;
    }

    // A click that stays on the screen; its repaint is done before the next one.
    void step(QWidget *w, QPoint pos = QPoint(-1, -1))
    {
        click(w, pos);
        QCoreApplication::processEvents();
        expectNoMessage();
    }

    void change(Screen from, Screen to, QWidget *control)
    {
        settle(50);
        const long faults = minorFaults();
        const double ms = watch_.milliseconds(to, [control] { click(control); });
        const long touched = minorFaults() - faults;
        if (QWidget *old = app_.screen(from); old && old->isVisible())
            fail(QStringLiteral("%1 is still on show").arg(QString::fromLatin1(qv::screenName(from))));
        on<QWidget>(to);
        QTextStream(stdout) << "change " << qv::screenName(from) << ' ' << qv::screenName(to) << ' ' << round_
                            << ' ' << QString::number(ms, 'f', 3) << ' ' << touched << Qt::endl;
        // The end of the battery is announced; anything else means a step went wrong.
        if (from == Screen::FLcartge && dialogs_.texts.size() == 1
            && dialogs_.texts.first().startsWith(kFinito))
            dialogs_.texts.clear();
        expectNoMessage();
    }

    void expectNoMessage()
    {
        if (!dialogs_.texts.isEmpty())
            fail(QStringLiteral("unexpected message: %1").arg(dialogs_.texts.join(QStringLiteral(" | "))));
    }

    // A loop over the items of a test, with a bound in case the driver stops advancing.
    template<class F> void repeat(const char *what, F body)
    {
        for (int i = 0; i < 200; ++i)
            if (!body())
                return;
        fail(QStringLiteral("%1 does not end").arg(QString::fromLatin1(what)));
    }

    void lettura()
    {
        auto *s = on<FLETTURA>(Screen::FLETTURA);
        repeat("FLETTURA", [&] {
            step(s->Check1[0]);
            if (s->model().domanda >= qv::lettura::kDomande) {
                change(Screen::FLETTURA, Screen::FLgrasem, s->Labseguente);
                return false;
            }
            step(s->Labseguente);
            return true;
        });
    }

    template<class T> void analysis(Screen self, Screen next)
    {
        auto *s = on<T>(self);
        repeat(qv::screenName(self), [&] {
            for (int r = 0; r < s->model().nelementi(); ++r) {
                step(s->Label1[size_t(r) % s->Label1.size()]); // a category: selected
                step(s->Label2[size_t(r)]);                    // its box: placed there
            }
            if (s->model().numfrase() >= qv::AnalysisModel::kFrasi) {
                change(self, next, s->Labseguente);
                return false;
            }
            step(s->Labseguente);
            return true;
        });
    }

    void frasi()
    {
        auto *s = on<FLfrasi>(Screen::FLfrasi);
        repeat("FLfrasi", [&] {
            step(s->Check1[1]);
            if (s->model().domanda >= qv::frasi::kDomande) {
                change(Screen::FLfrasi, Screen::FLstoria1, s->Labseguente);
                return false;
            }
            step(s->Labseguente);
            return true;
        });
    }

    void storia1()
    {
        auto *s = on<FLstoria1>(Screen::FLstoria1);
        repeat("FLstoria1", [&] {
            for (int i = 0; i < s->model().caselle(); ++i) {
                step(s->Label2[size_t(i)]);
                step(s->Label1[size_t(i)]);
            }
            if (s->model().numesercizio() >= qv::kStoriaInsiemi) {
                change(Screen::FLstoria1, Screen::FLstoria2, s->Labnuovo);
                return false;
            }
            step(s->Labnuovo);
            return true;
        });
    }

    void storia2()
    {
        auto *s = on<FLstoria2>(Screen::FLstoria2);
        repeat("FLstoria2", [&] {
            for (size_t r = 0; r < s->Label2.size(); ++r) {
                step(s->Label3[r]);
                step(s->Label2[r]);
            }
            if (s->model().parte() == 2) {
                change(Screen::FLstoria2, Screen::FLcartge, s->Labseguente);
                return false;
            }
            step(s->Labseguente);
            return true;
        });
    }

    void cartge()
    {
        auto *s = on<FLcartge>(Screen::FLcartge);
        repeat("FLcartge", [&] {
            const int place = s->model().numero - 1;
            clickRow(s->List2, place % s->List2->count());
            QCoreApplication::processEvents();
            if (s->model().political()) {
                clickRow(s->List1, place % s->List1->count());
                QCoreApplication::processEvents();
                if (s->model().numero >= qv::kRegioni) {
                    change(Screen::FLcartge, Screen::FLINIZIO, s->cmdelemseg);
                    return false;
                }
            }
            step(s->cmdelemseg);
            return true;
        });
    }

    Application &app_;
    InstantDialogs &dialogs_;
    PaintWatch watch_;
    int round_ = 0;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication qapp(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 12));
    QStringList args = qapp.arguments().mid(1);
    int rounds = 5;
    int text = 100;
    bool prepare = true;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        if (args.first() == QLatin1String("--no-prepare")) {
            prepare = false;
            args.removeFirst();
            continue;
        }
        if (args.size() < 2)
            fail(QStringLiteral("%1 needs a value").arg(args.first()));
        if (args.first() == QLatin1String("--rounds"))
            rounds = qMax(1, args.at(1).toInt());
        else if (args.first() == QLatin1String("--text"))
            text = args.at(1).toInt();
        else
            fail(QStringLiteral("unknown option %1").arg(args.first()));
        args = args.mid(2);
    }
    const QString pictures = args.isEmpty() ? QStringLiteral(QUORVANE_PICTURES_DIR) : args.first();

    QTemporaryDir tmp;
    const QString data = tmp.filePath(QString::fromLatin1(qv::kDataFolder));
    QString error;
    if (!qv::prepareDataFolder(data, &error))
        fail(error);
    for (const char *f : {qv::kBackgroundFile, qv::kPhysicalMapFile, qv::kPoliticalMapFile}) {
        const QString name = QString::fromLatin1(f);
        if (!QFile::copy(QDir(pictures).filePath(name), QDir(data).filePath(name)))
            fail(QStringLiteral("cannot copy %1 from %2").arg(name, pictures));
    }

    {
        auto db = qv::Database::open(QDir(data).filePath(QString::fromLatin1(qv::kResultsFile)), &error);
        auto rs = db ? db->openRecordset(qv::classTable(0)) : nullptr;
        if (!rs)
            fail(QStringLiteral("cannot open the class table: %1").arg(error));
        for (int i = 1; i <= 25; ++i) {
            rs->addNew();
            rs->setField("nome", QStringLiteral("COMPAGNO %1").arg(i));
            rs->setField("arrivo", qv::kArrivoComplete);
            rs->setField("sub", qv::kSubComplete);
            if (!rs->update())
                fail(rs->lastError());
        }
    }

    InstantDialogs dialogs;
    if (text != 100) {
        qv::PupilTools t;
        t.textPercent = text;
        dialogs.tools = t;
    }
    SystemClock clock;
    NoExit exit;
    Application app(dialogs, clock, exit, data);
    registerScreens(app);
    useLinkedArchive();
    app.setPreparesAhead(prepare);
    Tour tour(app, dialogs);
    tour.start();
    for (int n = 1; n <= rounds; ++n)
        tour.round(n);
    QTextStream(stdout) << "resident " << residentMegabytes() << Qt::endl;
    return 0;
}
