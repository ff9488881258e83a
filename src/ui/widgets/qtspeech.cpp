#include "ui/widgets/qtspeech.h"

#include <QLocale>
#include <QTextToSpeech>

namespace qv::ui {

QtSpeech::QtSpeech(QObject *parent) : QObject(parent) {}

QtSpeech::~QtSpeech() = default;

bool QtSpeech::available()
{
    if (tried_)
        return ok_ && tts_->state() != QTextToSpeech::Error;
    tried_ = true;
    const QStringList engines = QTextToSpeech::availableEngines();
    if (engines.isEmpty()) {
        problem_ = QStringLiteral("nessun motore di sintesi vocale (manca qt6-speech-speechd-plugin)");
        return false;
    }
    // speech-dispatcher first: it is the engine the package depends on.
    const QString engine = engines.contains(QStringLiteral("speechd")) ? QStringLiteral("speechd") : engines.first();
    tts_ = std::make_unique<QTextToSpeech>(engine);
    if (tts_->state() == QTextToSpeech::Error) {
        problem_ = QStringLiteral("il motore \"%1\" non parte: %2").arg(engine, tts_->errorString());
        return false;
    }
    for (const QLocale &l : tts_->availableLocales()) {
        if (l.language() == QLocale::Italian) {
            tts_->setLocale(l);
            ok_ = true;
            return true;
        }
    }
    problem_ = QStringLiteral("il motore \"%1\" non ha una voce italiana").arg(engine);
    return false;
}

void QtSpeech::say(const QString &text)
{
    if (!available())
        return;
    tts_->stop();
    tts_->say(text);
}

} // namespace qv::ui
