// Class statistics and levels: a hand-made class whose figures are worked out by hand, the
// progress code and level boundaries, bad input, and the reading of real class tables.
#include "insight/chartreading.h"
#include "insight/classstats.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "support/fakes.h"
#include "support/handmadeclass.h"

#include <QtTest>
#include <cmath>

using namespace qv;
using namespace qv::insight;

namespace {

int fieldIndex(const char *name)
{
    for (int i = 0; i < kFieldCount; ++i)
        if (qstrcmp(scoreFields()[size_t(i)].name, name) == 0)
            return i;
    return -1;
}

PupilRow pupil(const QString &nome, std::optional<int> arrivo, std::optional<int> sub,
               const QVariantMap &fields = {})
{
    PupilRow r;
    r.nome = nome;
    r.data = nome + QStringLiteral("-data");
    r.arrivo = arrivo;
    r.sub = sub;
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        const int f = fieldIndex(qPrintable(it.key()));
        if (f >= 0) {
            r.scores[size_t(f)] = it.value().toInt();
            continue;
        }
        for (int p = 0; p < kPartCount; ++p)
            if (it.key() == QLatin1String(parts()[size_t(p)].minutesField))
                r.minutes[size_t(p)] = it.value().toInt();
    }
    return r;
}

// Every field at its maximum: 246 points.
QVariantMap allMaxima()
{
    QVariantMap m;
    for (const ScoreField &f : scoreFields())
        m[QString::fromLatin1(f.name)] = f.maximum;
    return m;
}

QVariantMap with(QVariantMap m, const QVariantMap &more)
{
    for (auto it = more.begin(); it != more.end(); ++it)
        m[it.key()] = it.value();
    return m;
}

PupilRow fromRecord(const QVariantMap &rec)
{
    QVariantMap fields = rec;
    fields.remove("nome");
    fields.remove("arrivo");
    fields.remove("sub");
    return pupil(rec.value("nome").toString(), rec.value("arrivo").toInt(), rec.value("sub").toInt(), fields);
}

std::vector<PupilRow> handMadeClass()
{
    std::vector<PupilRow> rows;
    for (const QVariantMap &rec : test::handMadeClass())
        rows.push_back(fromRecord(rec));
    return rows;
}

} // namespace

class TstClassStats : public QObject {
    Q_OBJECT

private slots:
    void handMadeClassFigures()
    {
        const ClassStats s = classStats(handMadeClass());
        QCOMPARE(s.records, 4);
        QCOMPARE(s.complete, 2);

        // gramsem of the pupils past the grammar test: 53, 40, 20 (DELTA's 30 is partial).
        const FieldStats &g = s.fields[size_t(fieldIndex("gramsem"))];
        QCOMPARE(g.count, 3);
        QVERIFY(qFuzzyCompare(g.mean, 113.0 / 3));
        QCOMPARE(g.median, 40.0);
        QCOMPARE(g.minimum, 20);
        QCOMPARE(g.maximum, 53);
        QVERIFY(qFuzzyCompare(g.percent, 113.0 / 3 / 53 * 100));
        // lessico1 of all four (reading finished by all): 6, 5, 6 and DELTA's empty 0.
        const FieldStats &l = s.fields[size_t(fieldIndex("lessico1"))];
        QCOMPARE(l.count, 4);
        QCOMPARE(l.mean, 4.25);
        QCOMPARE(l.median, 5.5);
        QCOMPARE(l.minimum, 0);
        // elempol only from the two complete records.
        const FieldStats &p = s.fields[size_t(fieldIndex("elempol"))];
        QCOMPARE(p.count, 2);
        QCOMPARE(p.median, 30.0);
        QCOMPARE(p.percent, 75.0);

        const PartStats &gr = s.parts[size_t(Part::Grammatica)];
        QCOMPARE(gr.finished, 3);
        QCOMPARE(gr.timed, 2); // GAMMA has no minutes; DELTA's 7 are of an unfinished test
        QCOMPARE(gr.meanMinutes, 12.0);
        // 53 → 80–100 %, 40 (75 %) → 60–79 %, 20 (38 %) → 20–39 %.
        QCOMPARE(gr.bands, (std::array<int, kBandCount>{0, 1, 0, 1, 1}));
        // Reading: 34 + 25 + 9 + 1 points over four pupils.
        QVERIFY(qFuzzyCompare(s.parts[size_t(Part::Lettura)].meanPercent, 69.0 / 4 / 34 * 100));
        QCOMPARE(s.parts[size_t(Part::Frasi)].finished, 2);
    }

    // What a screen reader hears of a chart: the figures it draws, with a decimal comma.
    void chartReadings_data()
    {
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QString>("carries");
        const ClassStats s = classStats(handMadeClass());
        QTest::newRow("grammar bands") << distributionReading(s, Part::Grammatica)
                                       << QStringLiteral("Alunni per fascia di punteggio: 0–19 %: 0 alunni; 20–39 %: "
                                                         "1 alunno; 40–59 %: 0 alunni; 60–79 %: 1 alunno; 80–100 %: 1 alunno.");
        // 69 of 4 × 34 points; no other class in the school's figures.
        QTest::newRow("profile") << profileReading(profile(s, ClassStats{})) << QStringLiteral("Lettura: classe 50,7 %, scuola —;");
    }

    void chartReadings()
    {
        QFETCH(QString, reading);
        QFETCH(QString, carries);
        QVERIFY2(reading.contains(carries), qPrintable(reading));
    }

    void handMadeClassLevels()
    {
        const std::vector<PupilLevels> lv = classLevels(handMadeClass());
        using L = Level;
        // BETA: Italiano 94/133 (70.7 %), Storia 20/51 (39.2 %), Geografia 31/62 (50 %),
        // all 145/246 (58.9 %).
        const std::array<std::array<Level, kAreaCount>, 4> expected = {{
            {L::Avanzato, L::Avanzato, L::Avanzato, L::Avanzato},
            {L::Intermedio, L::Iniziale, L::Base, L::Base},
            {L::NonFinita, L::NonFinita, L::NonFinita, L::NonFinita},
            {L::NonFinita, L::NonFinita, L::NonFinita, L::NonFinita},
        }};
        for (size_t i = 0; i < expected.size(); ++i)
            QCOMPARE(lv[i].levels, expected[i]);
        QCOMPARE(lv[1].points[size_t(Area::Italiano)], 94);
        QCOMPARE(lv[1].points[size_t(Area::Complessivo)], 145);

        const auto italiano = groupsByLevel(lv, Area::Italiano);
        QCOMPARE(italiano[size_t(L::Avanzato)], QStringList{"ALFA ANNA"});
        QCOMPARE(italiano[size_t(L::Intermedio)], QStringList{"BETA BRUNO"});
        QCOMPARE(italiano[size_t(L::NonFinita)], (QStringList{"GAMMA GINO", "DELTA DORA"}));
        QVERIFY(italiano[size_t(L::Base)].isEmpty());
    }

    // An area's level is the mean of its tests' percentages, each test counting the same:
    // summed points would let the 53-point grammar test outweigh the 12 sentences.
    void levelsFromTheMeanOfTheTests()
    {
        struct Case {
            const char *what;
            QVariantMap fields;
            Area area;
            Level level;
            double percent;
        };
        const Case cases[] = {
            // 100 + 49.1 + 100 + 100: 87.3 % (summed: 106/133, 79.7 %, Intermedio).
            {"grammar low", {{"gramsem", 26}}, Area::Italiano, Level::Avanzato, (300 + 2600.0 / 53) / 4},
            // 100 + 0: 50 % (summed: 31/51, 60.8 %, Intermedio).
            {"chronology empty", {{"cronolog", 0}}, Area::Storia, Level::Base, 50},
            // 100 + 60 exactly 80 %; 100 + 57.5 is 78.75 % (summed: 46/62 and 45/62, Intermedio).
            {"at 80 %", {{"elempol", 24}}, Area::Geografia, Level::Avanzato, 80},
            {"below 80 %", {{"elempol", 23}}, Area::Geografia, Level::Intermedio, 78.75},
            // Six tests at 100 %, sentences and chronology at 0: 75 % (summed: 214/246, 87 %, Avanzato).
            {"all tests", {{"frasi1", 0}, {"cronolog", 0}}, Area::Complessivo, Level::Intermedio, 75},
        };
        for (const Case &c : cases) {
            const PupilLevels l = pupilLevels(pupil("P", 10, 20, with(allMaxima(), c.fields)));
            QVERIFY2(l.levels[size_t(c.area)] == c.level, c.what);
            QVERIFY2(qAbs(l.percent[size_t(c.area)] - c.percent) < 1e-9, c.what);
        }
        QCOMPARE(levelName(Level::Intermedio), QStringLiteral("B – Intermedio"));
        QCOMPARE(levelName(Level::NonFinita), QStringLiteral("prove da finire"));
    }

    // The progress code decides which parts count.
    void finishedFromProgressCode()
    {
        struct Case {
            std::optional<int> arrivo, sub;
            std::array<bool, kPartCount> done;
        };
        const bool T = true, F = false;
        const Case cases[] = {
            {1, 1, {F, F, F, F, F, F, F, F}},
            {2, 14, {F, F, F, F, F, F, F, F}}, // second passage under way
            {3, 1, {T, F, F, F, F, F, F, F}},
            {5, 3, {T, T, F, F, F, F, F, F}},  // logic under way
            {6, 1, {T, T, T, F, F, F, F, F}},
            {8, 2, {T, T, T, T, T, F, F, F}},
            {9, 4, {T, T, T, T, T, T, F, F}},
            {10, 1, {T, T, T, T, T, T, T, F}}, // political map under way
            {10, 20, {T, T, T, T, T, T, T, T}},
            {std::nullopt, 20, {F, F, F, F, F, F, F, F}},
            {11, 20, {F, F, F, F, F, F, F, F}}, // a code no test writes
            {0, 0, {F, F, F, F, F, F, F, F}},
        };
        for (const Case &c : cases)
            QVERIFY2(finishedParts(pupil("X", c.arrivo, c.sub)) == c.done,
                     qPrintable(QStringLiteral("arrivo %1 sub %2").arg(c.arrivo.value_or(-1)).arg(c.sub.value_or(-1))));
    }

    void levelAndBandBoundaries()
    {
        struct Case {
            int points, maximum;
            Level level;
            int band;
        };
        const Case cases[] = {
            {100, 100, Level::Avanzato, 4}, {80, 100, Level::Avanzato, 4}, {79, 100, Level::Intermedio, 3},
            {60, 100, Level::Intermedio, 3}, {59, 100, Level::Base, 2},     {40, 100, Level::Base, 2},
            {39, 100, Level::Iniziale, 1},  {19, 100, Level::Iniziale, 0},  {0, 100, Level::Iniziale, 0},
            // 196.8 of 246 is 80 %: 196 is just below.
            {196, 246, Level::Intermedio, 3}, {197, 246, Level::Avanzato, 4},
        };
        for (const Case &c : cases) {
            const QByteArray what = QByteArray::number(c.points) + "/" + QByteArray::number(c.maximum);
            QVERIFY2(levelOf(c.points, c.maximum) == c.level, what);
            QVERIFY2(bandOf(c.points, c.maximum) == c.band, what);
        }
        QCOMPARE(bandLabel(0), QStringLiteral("0–19 %"));
        QCOMPARE(bandLabel(4), QStringLiteral("80–100 %"));
    }

    void badInput()
    {
        struct Case {
            const char *what;
            std::vector<PupilRow> rows;
            int records, complete, gramCount;
            double gramMedian;
            std::array<int, kBandCount> gramBands;
            int timed;
            int avanzatiComplessivo;
        };
        const auto equal = with(allMaxima(), {{"gramsem", 30}, {"temgram", 5}});
        const Case cases[] = {
            {"no records", {}, 0, 0, 0, 0, {0, 0, 0, 0, 0}, 0, 0},
            {"one pupil", {pupil("UNO", 10, 20, with(allMaxima(), {{"gramsem", 27}, {"temgram", 9}}))},
             1, 1, 1, 27, {0, 0, 1, 0, 0}, 1, 1},
            {"nothing finished", {pupil("A", 1, 3, {{"lessico1", 4}}), pupil("B", 2, 14, {{"lessico1", 5}})},
             2, 0, 0, 0, {0, 0, 0, 0, 0}, 0, 0},
            {"all equal", {pupil("A", 10, 20, equal), pupil("B", 10, 20, equal), pupil("C", 10, 20, equal)},
             3, 3, 3, 30, {0, 0, 3, 0, 0}, 3, 3},
            // An older disk: scores and progress code, no minutes.
            {"imported without minutes", {pupil("VECCHIO", 10, 20, allMaxima())}, 1, 1, 1, 53, {0, 0, 0, 0, 1}, 0, 1},
            {"scores without a progress code", {pupil("SENZA", std::nullopt, std::nullopt, allMaxima())},
             1, 0, 0, 0, {0, 0, 0, 0, 0}, 0, 0},
        };
        for (const Case &c : cases) {
            const ClassStats s = classStats(c.rows);
            const FieldStats &g = s.fields[size_t(fieldIndex("gramsem"))];
            const PartStats &gp = s.parts[size_t(Part::Grammatica)];
            QVERIFY2(s.records == c.records && s.complete == c.complete, c.what);
            QVERIFY2(g.count == c.gramCount && g.median == c.gramMedian, c.what);
            QVERIFY2(gp.bands == c.gramBands && gp.timed == c.timed, c.what);
            QVERIFY2(std::isfinite(g.mean) && std::isfinite(gp.meanPercent) && std::isfinite(gp.meanMinutes), c.what);
            const auto groups = groupsByLevel(classLevels(c.rows), Area::Complessivo);
            QVERIFY2(groups[size_t(Level::Avanzato)].size() == c.avanzatiComplessivo, c.what);
            int placed = 0;
            for (const QStringList &l : groups)
                placed += int(l.size());
            QVERIFY2(placed == c.records, c.what); // every pupil in exactly one group
        }
    }

    // Rows read from real class tables; the school pools every class.
    void readsTablesAndPoolsTheSchool()
    {
        test::DataFolder folder;
        QVERIFY2(folder.ok(), qPrintable(folder.error()));
        QString e;
        auto db = folder.open(&e);
        QVERIFY2(db, qPrintable(e));
        auto add = [&](const QString &table, const PupilRow &r) {
            auto rs = db->openRecordset(table);
            QVERIFY(rs && rs->addNew());
            rs->setField("nome", r.nome);
            if (r.arrivo)
                rs->setField("arrivo", *r.arrivo);
            if (r.sub)
                rs->setField("sub", *r.sub);
            for (int i = 0; i < kFieldCount; ++i)
                if (r.scores[size_t(i)])
                    rs->setField(QString::fromLatin1(scoreFields()[size_t(i)].name), *r.scores[size_t(i)]);
            for (int p = 0; p < kPartCount; ++p)
                if (r.minutes[size_t(p)])
                    rs->setField(QString::fromLatin1(parts()[size_t(p)].minutesField), *r.minutes[size_t(p)]);
            QVERIFY(rs->update());
        };
        for (const PupilRow &r : handMadeClass())
            add("prima-C", r);
        add("prima-J", pupil("ZERO ZENO", 10, 20)); // complete, every score empty

        ClassInsight ci;
        QVERIFY2(classInsight(*db, "prima-C", ci, &e), qPrintable(e));
        QCOMPARE(int(ci.rows.size()), 4);
        QCOMPARE(ci.rows[1].nome, QStringLiteral("BETA BRUNO"));
        QVERIFY(!ci.rows[2].scores[size_t(fieldIndex("frasi1"))]); // Null stays Null
        QVERIFY(!ci.rows[3].data.isEmpty());
        QCOMPARE(ci.stats.fields[size_t(fieldIndex("gramsem"))].median, 40.0);
        QCOMPARE(ci.levels[1].levels[size_t(Area::Geografia)], Level::Base);
        // Reading: 69 points over 4 pupils in the class, over 5 in the school.
        QVERIFY(qFuzzyCompare(ci.profile.classe[size_t(Part::Lettura)], 69.0 / 4 / 34 * 100));
        QVERIFY(qFuzzyCompare(ci.profile.scuola[size_t(Part::Lettura)], 69.0 / 5 / 34 * 100));
        QCOMPARE(ci.profile.scuolaCount[size_t(Part::Politica)], 3);
        QCOMPARE(ci.school.records, 5);

        QVERIFY(!classInsight(*db, "prima-Z", ci, &e));
        QVERIFY(ci.rows.empty());
        QVERIFY(!e.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstClassStats)
#include "tst_classstats.moc"
