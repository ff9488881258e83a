// One real run of the speech behind the "Ascolta" buttons: a private speech-dispatcher
// (its own socket and configuration, the audio sent to libao's null driver, so no sound
// card is needed) and QtSpeech through Qt's speechd engine. It proves that the engine
// starts, finds an Italian voice, and that the text is synthesised by espeak-ng into
// audio samples handed to the output; not that anybody hears them. Skipped, with the
// reason, where speech-dispatcher or Qt's speechd engine is not installed.
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
        if (daemon.isEmpty())
            QSKIP("speech-dispatcher non installato (pacchetti speech-dispatcher, speech-dispatcher-espeak-ng)");
        if (!QTextToSpeech::availableEngines().contains("speechd"))
            QSKIP("motore speechd di Qt non installato (pacchetto qt6-speech-speechd-plugin)");

        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QDir h(home.path());
        // The system's configuration, with the audio going to libao, whose default driver
        // for this home is "null".
        QProcess copy;
        copy.start("cp", {"-r", "/etc/speech-dispatcher", h.filePath("conf")});
        QVERIFY(copy.waitForFinished() && copy.exitCode() == 0);
        QFile conf(h.filePath("conf/speechd.conf"));
        QVERIFY(conf.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(conf.readAll());
        conf.close();
        text.replace(QRegularExpression("(?m)^#?\\s*AudioOutputMethod.*$"), "AudioOutputMethod \"libao\"");
        QVERIFY(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
        conf.write(text.toUtf8());
        conf.close();
        QFile ao(h.filePath(".libao"));
        QVERIFY(ao.open(QIODevice::WriteOnly));
        ao.write("default_driver=null\n");
        ao.close();

        const QString socket = h.filePath("sock");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_RUNTIME_DIR", home.path());
        QProcess server;
        server.setProcessEnvironment(env);
        server.start(daemon, {"-s", "-t", "60", "-S", socket, "-C", h.filePath("conf"), "-L", home.path(), "-l", "4"});
        QVERIFY(server.waitForStarted());
        // Loading the voices' modules takes seconds.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 30000);
        qputenv("SPEECHD_ADDRESS", ("unix_socket:" + socket).toUtf8());

        QtSpeech speech;
        QVERIFY2(speech.available(), qPrintable(speech.problem()));
        QCOMPARE(speech.engine()->locale().language(), QLocale::Italian);
        QSignalSpy states(speech.engine(), &QTextToSpeech::stateChanged);
        speech.say(QStringLiteral("Zio Tano dice che il suo è un mestiere pieno di grattacapi."));
        QTRY_VERIFY_WITH_TIMEOUT(!states.isEmpty()
                                     && states.last().at(0).value<QTextToSpeech::State>() == QTextToSpeech::Ready,
                                 30000);
        bool spoke = false;
        for (const QList<QVariant> &s : states)
            spoke = spoke || s.at(0).value<QTextToSpeech::State>() == QTextToSpeech::Speaking;
        QVERIFY(spoke);

        server.terminate();
        server.waitForFinished(5000);
        QFile log(h.filePath("speech-dispatcher.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString said = QString::fromUtf8(log.readAll());
        QVERIFY2(said.contains("Using libao audio output method"), "the audio did not go to libao");
        QVERIFY2(said.contains(QRegularExpression("Sending \\d+ samples to audio")), "no audio was synthesised");
        qInfo("speech-dispatcher synthesised the text with an Italian voice into audio samples (null output)");
    }
};

QTEST_MAIN(TstSpeechd)
#include "tst_speechd.moc"
