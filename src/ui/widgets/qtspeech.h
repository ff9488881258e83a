// The real speech of the "Ascolta" buttons: Qt TextToSpeech through speech-dispatcher
// (the speechd engine), with an Italian voice. The engine is started in a thread of its
// own: speech-dispatcher lists every voice it has when a client connects, which takes
// seconds, and the pupil's screen must not freeze meanwhile. Unavailable when there is no
// engine, the engine cannot start (no speech-dispatcher) or it has no Italian voice.
#pragma once

#include "seams/seams.h"

#include <QObject>
#include <QThread>

class QTextToSpeech;

namespace qv::ui {

class QtSpeech : public QObject, public Speech {
    Q_OBJECT
public:
    explicit QtSpeech(QObject *parent = nullptr);
    ~QtSpeech() override;
    // Starts the engine (once), in its own thread.
    void prepare() override;
    // true while the engine starts and once it is ready; false when it could not start.
    bool available() override;
    // Speaks now, or as soon as the engine is ready (the last text asked meanwhile).
    void say(const QString &text) override;

    enum class State { Idle, Starting, Ready, Failed };
    State state() const { return state_; }
    // Why speech is unavailable; empty when it is not known to be.
    QString problem() const { return problem_; }

signals:
    // The engine has started (ok) or failed.
    void started(bool ok);
    // The voice began (true) or ended (false) speaking.
    void speaking(bool on);

private:
    void engineStarted(bool ok, const QString &problem);
    void speakNow(const QString &text);

    QThread thread_;
    QObject *worker_ = nullptr;     // lives in thread_
    QTextToSpeech *tts_ = nullptr;  // made and used in thread_
    State state_ = State::Idle;
    QString problem_;
    QString pending_;
};

} // namespace qv::ui
