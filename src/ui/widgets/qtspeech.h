// The real speech of the "Ascolta" buttons: Qt TextToSpeech through speech-dispatcher
// (the speechd engine), with an Italian voice. Unavailable when there is no engine, the
// engine cannot start (no speech-dispatcher) or it has no Italian voice.
#pragma once

#include "storage/session.h"

#include <QObject>
#include <memory>

class QTextToSpeech;

namespace qv::ui {

class QtSpeech : public QObject, public Speech {
    Q_OBJECT
public:
    explicit QtSpeech(QObject *parent = nullptr);
    ~QtSpeech() override;
    // The engine is started at the first question, so a program whose pupils need no
    // speech never starts it.
    bool available() override;
    void say(const QString &text) override;
    // The engine once started (nullptr before, or when there is none).
    QTextToSpeech *engine() const { return tts_.get(); }
    // Why speech is unavailable, for the log; empty when it is available.
    QString problem() const { return problem_; }

private:
    std::unique_ptr<QTextToSpeech> tts_;
    bool tried_ = false;
    bool ok_ = false;
    QString problem_;
};

} // namespace qv::ui
