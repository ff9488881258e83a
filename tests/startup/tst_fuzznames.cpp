// Seeded, time-bounded fuzzing of the name entry with random Unicode: surrogate pairs and
// lone surrogates, combining marks, letters that grow in upper case, control characters,
// odd blanks, quotes, 0 to 200 characters. The stored name is at most 50 characters,
// upper case and trimmed, loses nothing when it fits, and finds the same record again,
// both when resuming and when starting anew; no record is made twice.
//
// QUORVANE_FUZZ_SECONDS (default 10) sets the time; QUORVANE_FUZZ_SEED replays a run.
#include "startup/nome.h"
#include "storage/database.h"
#include "storage/pupilrecord.h"
#include "storage/recordset.h"
#include "support/fakes.h"
#include "support/fuzzsettings.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QtTest>

using namespace qv;
using qv::test::fuzzSeconds;
using qv::test::fuzzSeed;

namespace {

qsizetype characters(const QString &s)
{
    return s.toUcs4().size();
}

QString randomName(QRandomGenerator64 &rng)
{
    // UTF-16 units, so that lone surrogates can occur as well as pairs.
    static const QList<QString> pool = [] {
        QList<QString> p;
        for (const char32_t c : std::initializer_list<char32_t>{
                 U'a', U'B', U'z', U'Q', U'0', U' ', U' ', U'\'', U'"', U'`', U';', U'%', U'_', U'\\', U'-',
                 U'à', U'è', U'É', U'ò', U'ù', U'ç', U'ñ', U'ÿ', // accented letters
                 U'ß', U'\ufb00', U'\u0149', U'\u01c6', U'\u0390', U'\u03c2', U'\u0131', U'\u0130', // grow or change in upper case
                 U'\u0300', U'\u0301', U'\u0308', U'\u0327', U'\u0345', // combining marks
                 U'\t', U'\n', U'\r', U'\0', U'\a', U'\x1b', U'\u0085', // control characters
                 U'\u00a0', U'\u2003', U'\u3000', U'\u2028', U'\u200b', U'\u200d', U'\ufeff', U'\u202e',
                 U'\uffff', U'\ufffd',
                 U'\U0001F600', U'\U0001D400', U'\U00020000', U'\U00010428'}) // pairs; the last has an upper case
            p << QString::fromUcs4(&c, 1);
        p << QString(QChar(0xD800)) << QString(QChar(0xDC00)) << QString(QChar(0xDBFF)); // lone surrogates
        return p;
    }();
    QString s;
    const int n = int(rng.bounded(201));
    while (characters(s) < n)
        s += pool.at(int(rng.bounded(quint32(pool.size()))));
    return s;
}

// The text without lone surrogates and U+FFFE, U+FFFF, which SQLite reads back as U+FFFD.
QString keepable(const QString &s)
{
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
            out += s.mid(i++, 2);
        else if (!s[i].isSurrogate() && s[i] != QChar(0xFFFE) && s[i] != QChar(0xFFFF) && s[i] != QChar(0))
            out += s[i];
    }
    return out;
}

} // namespace

class TstFuzzNames : public QObject {
    Q_OBJECT

    static QString storedName(test::ModelEnv &env)
    {
        QSqlQuery q(env.session.state.dbrisultati->sql());
        q.prepare("SELECT nome FROM \"prima-C\" WHERE rowid = ?");
        q.addBindValue(env.session.state.segnalibro.toLongLong());
        return q.exec() && q.next() ? q.value(0).toString() : QStringLiteral("<none>");
    }

    static int rows(test::ModelEnv &env)
    {
        QSqlQuery q(env.session.state.dbrisultati->sql());
        return q.exec("SELECT count(*) FROM \"prima-C\"") && q.next() ? q.value(0).toInt() : -1;
    }

    void oneName(test::ModelEnv &env, const QString &cognome, const QString &nome)
    {
        env.dialogs.alerts.clear();
        env.dialogs.questions.clear();
        env.nav.shown.clear();
        env.session.state.segnalibro.clear();
        env.session.state.modoavvio = "inizio";
        NomeModel first(env.session);
        const NomeModel::Outcome o = first.confirm(cognome, nome);
        if (cognome.isEmpty() || nome.isEmpty()) {
            QCOMPARE(o, NomeModel::Outcome::Stay);
            QCOMPARE(env.dialogs.alerts.size(), 1);
            QCOMPARE(rows(env), 0);
            return;
        }
        QVERIFY2(o == NomeModel::Outcome::Dispatched, qPrintable(env.dialogs.alerts.join(" / ")));
        QCOMPARE(rows(env), 1);
        const QString stored = storedName(env);
        const QString bookmark = env.session.state.segnalibro;
        QCOMPARE(stored, first.nomecompleto());
        QVERIFY(characters(stored) <= kNameMaxLength);
        QCOMPARE(stored.toUpper(), stored);
        QCOMPARE(stored.trimmed(), stored);
        QVERIFY(stored.isValidUtf16());
        // Nothing is lost from a name that fits, and a cut name is the start of the whole.
        const QString whole = (keepable(cognome).trimmed() + ' ' + keepable(nome).trimmed()).trimmed().toUpper();
        if (characters(whole) <= kNameMaxLength)
            QCOMPARE(stored, whole);
        else
            QVERIFY(whole.startsWith(stored));

        // The same name typed again to resume finds this very record.
        env.session.state.modoavvio = "continuazione";
        env.session.state.segnalibro.clear();
        NomeModel again(env.session);
        QCOMPARE(again.confirm(cognome, nome), NomeModel::Outcome::Dispatched);
        QCOMPARE(env.session.state.segnalibro, bookmark);
        QVERIFY(env.nav.last() == Screen::FLETTURA);
        // Starting anew with it asks first; Cancel resumes the record, no second one is made.
        env.session.state.modoavvio = "inizio";
        env.dialogs.answers = {false};
        NomeModel third(env.session);
        QCOMPARE(third.confirm(cognome, nome), NomeModel::Outcome::Dispatched);
        QCOMPARE(env.dialogs.questions.size(), 1);
        QCOMPARE(env.session.state.segnalibro, bookmark);
        QCOMPARE(rows(env), 1);
        QVERIFY(env.dialogs.alerts.isEmpty());
        // The list of names shows it once, as stored.
        NomeModel list(env.session);
        QCOMPARE(list.load(), QStringList{stored});
    }

private slots:
    // The cases the fuzzing found: units that SQLite hands back as U+FFFD are left out.
    void unstorableUnitsAreLeftOut()
    {
        QCOMPARE(NomeModel::buildName(QString("Ro") + QChar(0xFFFF) + "ssi", QString(QChar(0xD800)) + "anna"),
                 QString("ROSSI ANNA"));
        QCOMPARE(NomeModel::buildName(QString(QChar(0xDC00)) + QChar(0xFFFE), "Eva"), QString("EVA"));
        test::ModelEnv env;
        oneName(env, QString("Bianchi") + QChar(0xDBFF), QString("Lu") + QChar(0xFFFE) + "ca");
        QCOMPARE(storedName(env), QString("BIANCHI LUCA"));
    }

    void randomNamesAreStoredAndFoundAgain()
    {
        test::ModelEnv env;
        QVERIFY(env.session.state.rsclasse);
        // The class is emptied after each round by the archive's rights (the pupils' road deletes nothing).
        const auto archive = env.folder.open();
        QVERIFY(archive);
        const quint64 seed = fuzzSeed();
        const int seconds = fuzzSeconds();
        qInfo("fuzzing names for %d s from seed %llu (QUORVANE_FUZZ_SEED to replay)", seconds,
              static_cast<unsigned long long>(seed));
        QElapsedTimer t;
        t.start();
        int rounds = 0, cut = 0;
        for (quint64 s = seed; t.elapsed() < seconds * 1000; ++s, ++rounds) {
            QRandomGenerator64 rng(s);
            QString cognome = randomName(rng);
            QString nome = randomName(rng);
            // Short names as often as long ones, and now and then an empty field.
            if (rng.bounded(2))
                cognome.truncate(int(rng.bounded(12)));
            if (rng.bounded(2))
                nome.truncate(int(rng.bounded(12)));
            oneName(env, cognome, nome);
            if (QTest::currentTestFailed()) {
                qWarning("failed in round %d: replay with QUORVANE_FUZZ_SEED=%llu", rounds,
                         static_cast<unsigned long long>(s));
                return;
            }
            if (characters(keepable(cognome).trimmed() + ' ' + keepable(nome).trimmed()) > kNameMaxLength)
                ++cut;
            QSqlQuery q(archive->sql());
            QVERIFY(q.exec("DELETE FROM \"prima-C\""));
        }
        qInfo("%d names, %d of them cut", rounds, cut);
        QVERIFY(rounds > 0);
    }
};

QTEST_GUILESS_MAIN(TstFuzzNames)
#include "tst_fuzznames.moc"
