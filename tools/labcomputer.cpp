// One lab computer, for the tests and benchmarks of many computers on one server: a pupil
// (or the teacher) working through the core models and the Session, with seams that answer
// by themselves. Several of these processes are started at once against the same server.
//   labcomputer <cartella> <classe> nuovo <cognome> <nome> <stores> <ms> [<start>]
//       registers a new pupil (a name already there: a new test, as OK answers), then stores
//       <stores> times, on average one every <ms> milliseconds, each with one answer logged
//   labcomputer <cartella> <classe> riprendo <cognome> <nome> <stores> <ms> [<start>] [<first>]
//       resumes the pupil's interrupted test and stores on from where it stopped; with
//       <first>, the first store waits for that moment (a computer left behind)
//   labcomputer <cartella> <classe> elimino <cognome> <nome> [<start>]
//       the teacher moves the first record of that name into the bin (on a server, through
//       the archive's door, as the login QUORVANE_LOGIN with password QUORVANE_PASSWORD)
//   labcomputer <cartella> - chiudo <punto>
//       the teacher closes the school year; with <punto> ("copia", "file", "transazione",
//       "fatto") the process kills itself there, as a power cut would stop it
// <start>: the moment to begin, in milliseconds since the epoch, so that all begin together.
// After that each pupil goes at a pace of their own, as in a lab, where no two pupils press
// "Domanda seguente" at the same millisecond: the first store falls anywhere within the
// first <ms>, each next one after a gap drawn between half and one and a half <ms>.
// Each store writes sub = k and inferen1 = k, fatti1 = temlettura = the number in <nome>,
// and answer k of "lettura" with the whole name as answer. Prints "registrato <data>",
// "store <ms>" for each store that succeeded, "fallito <why>" for each that did not, and
// "altrove" when the test went on on another computer (no more stores then).
#include "archive/annoscolastico.h"
#include "archive/cestino.h"
#include "storage/teacherpassword.h"
#include "startup/datafolder.h"
#include "startup/nome.h"
#include "storage/recordset.h"
#include "storage/session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTextStream>
#include <QThread>

#include <csignal>
#include <unistd.h>

namespace {

class AutoDialogs : public qv::Dialogs {
public:
    void alert(const QString &text) override { said << text; }
    bool ask(const QString &, Buttons) override { return true; }
    QString chooseFolder(const QString &, const QString &) override { return {}; }
    QStringList askLogin(const QString &, const QString &, const QString &) override
    {
        if (tries++ > 0 || qEnvironmentVariable("QUORVANE_LOGIN").isEmpty())
            return {};
        return {qEnvironmentVariable("QUORVANE_LOGIN"), qEnvironmentVariable("QUORVANE_PASSWORD")};
    }
    QString chooseSaveFile(const QString &, const QString &, const QString &) override { return {}; }
    QStringList askPasswords(const QString &, const QString &, const QStringList &) override { return {}; }
    int tries = 0;
    std::optional<qv::PupilTools> askTools(const QString &, const qv::PupilTools &) override { return std::nullopt; }
    DiskSecret askDiskPassphrase(const QString &, bool) override { return {}; }
    QStringList said;
};
class RealClock : public qv::Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
class NoExit : public qv::Exit {
public:
    void endProgram() override {}
};
class NoScreens : public qv::Navigator {
public:
    void show(qv::Screen) override {}
    void hide(qv::Screen) override {}
    void unload(qv::Screen) override {}
};

void waitUntil(qint64 start)
{
    const qint64 wait = start - QDateTime::currentMSecsSinceEpoch();
    if (wait > 0)
        QThread::msleep(quint64(wait));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString role = a.value(3);
    const int needed = role == QLatin1String("chiudo") ? 5 : role == QLatin1String("elimino") ? 6 : 8;
    if (a.size() < needed) {
        err << "uso: labcomputer <cartella> <classe> nuovo|riprendo|elimino <cognome> <nome> [<stores> <ms>] [<inizio>]"
            << Qt::endl;
        return 2;
    }
    AutoDialogs dialogs;
    RealClock clock;
    NoExit exit;
    NoScreens nav;
    qv::Session s(dialogs, clock, exit, nav, a[1]);
    QString e;
    s.state.dbrisultati = qv::openResults(a[1], &e);
    if (!s.state.dbrisultati) {
        err << e << Qt::endl;
        return 1;
    }
    s.state.tabellaclasse = a[2];
    if (role == QLatin1String("chiudo")) {
        qv::SchoolYears years(*s.state.dbrisultati, a[1]);
        const auto p = years.preview(clock.now().date());
        const auto o = years.close(p, clock.now(), [&](const char *point) {
            if (a[4] == QLatin1String(point))
                ::kill(::getpid(), SIGKILL);
        });
        (o.ok ? out : err) << o.message << Qt::endl;
        return o.ok ? 0 : 1;
    }
    waitUntil(a.value(needed).toLongLong());

    if (role == QLatin1String("elimino")) {
        if (s.state.dbrisultati->onServer()) {
            if (!qv::openArchiveDoor(s)) {
                err << "l'archivio non si apre: " << dialogs.said.join(QLatin1Char(' ')) << Qt::endl;
                return 1;
            }
            qv::enterArchive(s);
        }
        auto rs = s.state.dbrisultati->openRecordset(a[2]);
        if (!rs || !rs->setIndex(QStringLiteral("nome"))
            || (rs->seek(QStringLiteral("="), qv::NomeModel::buildName(a[4], a[5])), rs->noMatch())) {
            err << "nessun record di quel nome" << Qt::endl;
            return 1;
        }
        if (!qv::moveToBin(*s.state.dbrisultati, a[2], rs->bookmark().toLongLong(), clock.now(), &e)) {
            err << e << Qt::endl;
            return 1;
        }
        out << "eliminato " << rs->bookmark() << Qt::endl;
        return 0;
    }

    s.state.modoavvio = role == QLatin1String("nuovo") ? QStringLiteral("inizio") : QStringLiteral("continuazione");
    qv::NomeModel nome(s);
    if (nome.confirm(a[4], a[5]) != qv::NomeModel::Outcome::Dispatched) {
        err << "nome non accettato: " << dialogs.said.join(QLatin1Char(' ')) << Qt::endl;
        return 1;
    }
    // As a test's set-up does: the progress read now is what the stores expect.
    s.holdRecord();
    out << "registrato " << s.pupilField(QStringLiteral("data")).toString() << Qt::endl;
    const int number = QString(a[5]).remove(QRegularExpression(QStringLiteral("\\D"))).toInt();
    const int from = role == QLatin1String("nuovo") ? 1 : s.pupilField(QStringLiteral("sub")).toInt() + 1;
    const int stores = a[6].toInt();
    const int period = a[7].toInt();
    QRandomGenerator pace = QRandomGenerator::securelySeeded();
    const auto draw = [&](int span) { return span > 0 ? qint64(pace.bounded(span)) : 0; };
    waitUntil(a.value(needed + 1).toLongLong());
    QElapsedTimer since;
    since.start();
    qint64 due = draw(period);
    for (int k = from; k < from + stores; ++k) {
        if (since.elapsed() < due)
            QThread::msleep(quint64(due - since.elapsed()));
        due += period / 2 + draw(period + 1);
        s.logAnswer({QStringLiteral("lettura"), k, nome.nomecompleto(), true});
        QElapsedTimer t;
        t.start();
        const bool ok = s.storePupil({{QStringLiteral("sub"), k}, {QStringLiteral("inferen1"), k},
                                      {QStringLiteral("fatti1"), number}, {QStringLiteral("temlettura"), number}});
        const double ms = double(t.nsecsElapsed()) / 1e6;
        if (ok) {
            out << "store " << ms << Qt::endl;
        } else if (dialogs.said.contains(qv::Session::movedOnMessage())) {
            out << "altrove" << Qt::endl;
            break;
        } else {
            out << "fallito " << s.state.rsclasse->lastError() << Qt::endl;
        }
    }
    return 0;
}
