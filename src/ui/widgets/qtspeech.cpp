#include "ui/widgets/qtspeech.h"

#include <QLocale>
#include <QTextToSpeech>

namespace qv::ui {

QtSpeech::QtSpeech(QObject *parent) : QObject(parent) {}

QtSpeech::~QtSpeech()
{
    if (!worker_)
        return;
    // The engine goes in its own thread, after its start if that is still running.
    QMetaObject::invokeMethod(worker_, [this] {
        delete tts_;
        tts_ = nullptr;
        worker_->deleteLater();
    }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void QtSpeech::prepare()
{
    if (state_ != State::Idle)
        return;
    state_ = State::Starting;
    thread_.setObjectName(QStringLiteral("sintesi vocale"));
    thread_.start();
    worker_ = new QObject;
    worker_->moveToThread(&thread_);
    QMetaObject::invokeMethod(worker_, [this] {
        QString problem;
        const QStringList engines = QTextToSpeech::availableEngines();
        if (engines.isEmpty()) {
            problem = QStringLiteral("nessun motore di sintesi vocale (manca qt6-speech-speechd-plugin)");
        } else {
            // speech-dispatcher first: it is the engine the package depends on.
            const QString engine = engines.contains(QStringLiteral("speechd")) ? QStringLiteral("speechd") : engines.first();
            tts_ = new QTextToSpeech(engine);
            if (tts_->state() == QTextToSpeech::Error) {
                problem = QStringLiteral("il motore \"%1\" non parte: %2").arg(engine, tts_->errorString());
            } else {
                problem = QStringLiteral("il motore \"%1\" non ha una voce italiana").arg(engine);
                for (const QLocale &l : tts_->availableLocales()) {
                    if (l.language() == QLocale::Italian) {
                        tts_->setLocale(l);
                        problem.clear();
                        break;
                    }
                }
                connect(tts_, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State s) {
                    emit speaking(s == QTextToSpeech::Speaking);
                });
            }
        }
        QMetaObject::invokeMethod(this, [this, problem] { engineStarted(problem.isEmpty(), problem); });
    });
}

void QtSpeech::engineStarted(bool ok, const QString &problem)
{
    state_ = ok ? State::Ready : State::Failed;
    problem_ = problem;
    if (!ok)
        qWarning("Sintesi vocale non disponibile: %s", qPrintable(problem));
    emit started(ok);
    if (ok && !pending_.isEmpty())
        speakNow(pending_);
    pending_.clear();
}

bool QtSpeech::available()
{
    prepare();
    return state_ != State::Failed;
}

void QtSpeech::say(const QString &text)
{
    prepare();
    if (state_ == State::Ready)
        speakNow(text);
    else if (state_ == State::Starting)
        pending_ = text;
}

void QtSpeech::speakNow(const QString &text)
{
    QMetaObject::invokeMethod(worker_, [this, text] {
        tts_->stop();
        tts_->say(text);
    });
}

} // namespace qv::ui
