// The options of the reading and sentence tests give the key away neither by length nor by
// shape: no key stands out as much longer than the other options or as the odd one out, and
// always ticking the longest (or the shortest) option scores no better than a guess.
#include "battery/comprehension/frasicontent.h"
#include "battery/comprehension/letturacontent.h"

#include <QtTest>

using namespace qv;

namespace {

struct Quesito {
    int numero;
    QStringList opzioni; // without the letter or number the screen puts before them
    int chiave;          // 0..3
};
using Quesiti = QList<Quesito>;

// The questions as the test models load them: the content tables and the key.
Quesiti quesitiLettura()
{
    Quesiti out;
    const auto &d = lettura::domande();
    for (int q = 1; q <= lettura::kDomande; ++q) {
        QStringList o;
        for (int k = 0; k < 4; ++k)
            o << (q == lettura::kUltimaPrimo ? lettura::riassunti()[size_t(k)].mid(3) // "b) "
                                            : d[size_t(q)][size_t(k + 1)].mid(4));   // " b) "
        out.append({q, o, lettura::soluzioni()[size_t(q)] - 1});
    }
    return out;
}

Quesiti quesitiFrasi()
{
    Quesiti out;
    const auto &d = frasi::domande();
    for (int q = 1; q <= frasi::kDomande; ++q) {
        QStringList o;
        for (int k = 1; k <= 4; ++k)
            o << d[size_t(q)][size_t(k)].trimmed();
        out.append({q, o, frasi::soluzioni()[size_t(q)] - 1});
    }
    return out;
}

// A key at least ten characters and 1.35 times longer than every other option.
bool tooLong(const Quesito &q)
{
    int other = 0;
    for (int k = 0; k < 4; ++k)
        if (k != q.chiave)
            other = std::max(other, int(q.opzioni[k].size()));
    const int key = int(q.opzioni[q.chiave].size());
    return key - other >= 10 && key >= 1.35 * other;
}

QString opening(const QString &option)
{
    QString w = option.section(QLatin1Char(' '), 0, 0).toLower();
    static const QRegularExpression nonLetter(QStringLiteral("[^\\w]"),
                                              QRegularExpression::UseUnicodePropertiesOption);
    w.remove(nonLetter);
    return w;
}

// The key is the odd one out: the three wrong options open with one word the key does not,
// or the key is the only "sì" (or "no") where another option says the opposite.
bool oddOneOut(const Quesito &q)
{
    QStringList words;
    for (const QString &o : q.opzioni)
        words << opening(o);
    const QString key = words[q.chiave];
    QStringList others = words;
    others.removeAt(q.chiave);
    if (others.count(others[0]) == 3 && key != others[0])
        return true;
    const QString yes = QStringLiteral("sì"), no = QStringLiteral("no");
    if (key != yes && key != no)
        return false;
    return !others.contains(key) && others.contains(key == yes ? no : yes);
}

// Items won, on average, by always ticking the longest (or shortest) option; options of equal
// length share the win.
double extremeScore(const Quesiti &qs, bool longest)
{
    double won = 0;
    for (const Quesito &q : qs) {
        QList<int> len;
        for (const QString &o : q.opzioni)
            len << int(o.size());
        const int target = longest ? *std::max_element(len.begin(), len.end())
                                   : *std::min_element(len.begin(), len.end());
        if (len[q.chiave] == target)
            won += 1.0 / len.count(target);
    }
    return won;
}

} // namespace

class TstOpzioni : public QObject {
    Q_OBJECT

private slots:
    void keyGivesItselfAwayNowhere_data()
    {
        QTest::addColumn<Quesiti>("quesiti");
        QTest::addColumn<QList<int>>("esenti");
        QTest::addColumn<QList<int>>("attesi");
        // Question 2 of the reading test and question 1 of the sentence test keep their
        // long-standing wording, which tst_lettura and tst_frasi check word for word.
        QTest::newRow("lettura") << quesitiLettura() << QList<int>{2} << QList<int>{};
        QTest::newRow("frasi") << quesitiFrasi() << QList<int>{1} << QList<int>{};
        // The checks themselves, on option sets of the kind they must catch, and one they
        // must let pass.
        QTest::newRow("tells") << Quesiti{
            {1, {"la porta", "il cancello", "la finestra", "perché i genitori erano fuori e lui era solo"}, 3},
            {2, {"sì, dormiva", "sì, ma poi si è svegliato", "no, era uscito", "non si sa"}, 2},
            {3, {"perché piove", "perché ha fame", "perché è tardi", "per gioco"}, 3},
            {4, {"no, era solo", "no, era con la mamma", "sì, da uno sconosciuto", "sì, ma è scappato"}, 0}}
            << QList<int>{} << QList<int>{1, 2, 3};
    }
    void keyGivesItselfAwayNowhere()
    {
        QFETCH(Quesiti, quesiti);
        QFETCH(QList<int>, esenti);
        QFETCH(QList<int>, attesi);
        QList<int> found;
        QStringList why;
        for (const Quesito &q : quesiti) {
            QCOMPARE(q.opzioni.size(), 4);
            QVERIFY(q.chiave >= 0 && q.chiave < 4);
            const bool lunga = tooLong(q), forma = oddOneOut(q);
            if ((lunga || forma) && !esenti.contains(q.numero)) {
                found << q.numero;
                why << QStringLiteral("%1 (%2): %3").arg(q.numero).arg(lunga ? "length" : "shape",
                                                                       q.opzioni[q.chiave]);
            }
        }
        QVERIFY2(found == attesi, qPrintable(why.join(QStringLiteral("; "))));
        if (!attesi.isEmpty())
            return;

        const int n = int(quesiti.size());
        const double longest = extremeScore(quesiti, true), shortest = extremeScore(quesiti, false);
        qInfo("%s: always the longest option wins %.1f of %d (%.0f %%), always the shortest %.1f",
              QTest::currentDataTag(), longest, n, 100 * longest / n, shortest);
        QVERIFY2(longest <= 0.30 * n, qPrintable(QString::number(longest)));
        QVERIFY2(shortest <= 0.30 * n, qPrintable(QString::number(shortest)));
    }
};

QTEST_GUILESS_MAIN(TstOpzioni)
#include "tst_opzioni.moc"
