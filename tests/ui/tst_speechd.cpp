// One real run of the speech behind the "Ascolta" buttons: a private speech-dispatcher
// (its own socket and configuration, the audio sent to libao's null driver, so no sound
// card is needed, and espeak-ng given its Italian voice only, since listing all of its
// voices to a client under the address sanitizer takes minutes) and QtSpeech through Qt's
// speechd engine. It proves that the engine starts in its thread, finds the Italian voice
// and that the text is synthesised by espeak-ng into audio samples handed to the output;
// not that anybody hears them. Skipped, with the reason, where speech-dispatcher, its
// espeak-ng voice or Qt's speechd engine is not installed.
#include "ui/widgets/qtspeech.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextToSpeech>
#include <QtTest>

using namespace qv::ui;

class TstSpeechd : public QObject {
    Q_OBJECT

private slots:
    void speaksItalianThroughSpeechDispatcher()
    {
        const QString daemon = QStandardPaths::findExecutable("speech-dispatcher");
        const QString voices("/usr/lib/x86_64-linux-gnu/espeak-ng-data");
        if (daemon.isEmpty() || !QFile::exists("/usr/lib/speech-dispatcher-modules/sd_espeak-ng")
            || !QFile::exists(voices + "/lang/roa/it"))
            QSKIP("speech-dispatcher o la sua voce espeak-ng non installati (pacchetti speech-dispatcher, "
                  "speech-dispatcher-espeak-ng)");
        if (!QTextToSpeech::availableEngines().contains("speechd"))
            QSKIP("motore speechd di Qt non installato (pacchetto qt6-speech-speechd-plugin)");

        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QDir h(home.path());
        // The espeak-ng module alone, the audio going to libao, whose default driver for this
        // home is "null".
        auto write = [&](const QString &name, const QByteArray &text) {
            QFile f(h.filePath(name));
            return h.mkpath(QFileInfo(name).path()) && f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
        };
        QVERIFY(write("conf/speechd.conf", "AudioOutputMethod \"libao\"\nAddModule \"espeak-ng\" \"sd_espeak-ng\" "
                                           "\"espeak-ng.conf\"\nDefaultModule espeak-ng\n"));
        QVERIFY(write("conf/modules/espeak-ng.conf", ""));
        QVERIFY(write(".libao", "default_driver=null\n"));
        // espeak-ng's data with one language, Italian.
        const QDir data(h.filePath("voce/espeak-ng-data"));
        QVERIFY(data.mkpath("lang/roa") && data.mkpath("voices/!v"));
        for (const QString &f : QDir(voices).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            if (f != "lang" && f != "voices")
                QVERIFY(QFile::link(voices + "/" + f, data.filePath(f)));
        QVERIFY(QFile::link(voices + "/lang/roa/it", data.filePath("lang/roa/it")));

        const QString socket = h.filePath("sock");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_RUNTIME_DIR", home.path());
        env.insert("ESPEAK_DATA_PATH", h.filePath("voce"));
        QProcess server;
        server.setProcessEnvironment(env);
        server.start(daemon, {"-s", "-t", "60", "-S", socket, "-C", h.filePath("conf"), "-L", home.path(), "-l", "4"});
        QVERIFY(server.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 30000);
        qputenv("SPEECHD_ADDRESS", ("unix_socket:" + socket).toUtf8());
        // Qt's engine starts with the program's language, Italian, as the program sets it.
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));

        QtSpeech speech;
        QSignalSpy started(&speech, &QtSpeech::started);
        QSignalSpy speaking(&speech, &QtSpeech::speaking);
        // Asked before the engine is ready: spoken once it is.
        QVERIFY(speech.available());
        speech.say(QStringLiteral("Zio Tano dice che il suo è un mestiere pieno di grattacapi."));
        QTRY_COMPARE_WITH_TIMEOUT(started.size(), 1, 60000);
        QVERIFY2(started.at(0).at(0).toBool(), qPrintable(speech.problem()));
        QTRY_VERIFY_WITH_TIMEOUT(speaking.size() >= 2 && !speaking.last().at(0).toBool(), 30000);
        QVERIFY(speaking.at(0).at(0).toBool());

        server.terminate();
        server.waitForFinished(5000);
        QFile log(h.filePath("speech-dispatcher.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString said = QString::fromUtf8(log.readAll());
        QVERIFY2(said.contains("Using libao audio output method"), "the audio did not go to libao");
        QVERIFY2(said.contains(QRegularExpression("Sending \\d+ samples to audio")), "no audio was synthesised");
        qInfo("speech-dispatcher synthesised the text with the Italian voice into audio samples (null output)");
    }
};

QTEST_MAIN(TstSpeechd)
#include "tst_speechd.moc"
