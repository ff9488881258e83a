#include "insight/classstats.h"

#include "storage/classmap.h"
#include "storage/database.h"
#include "storage/progress.h"
#include "storage/pupilrecord.h"
#include "storage/recordreader.h"

#include <algorithm>
#include <numeric>

namespace qv::insight {

const std::array<PartInfo, kPartCount> &parts()
{
    static const std::array<PartInfo, kPartCount> p = {{
        {"lettura", QStringLiteral("Comprensione della lettura"), QStringLiteral("Lettura"), "temlettura", 34},
        {"grammatica", QStringLiteral("Analisi grammaticale"), QStringLiteral("Grammatica"), "temgram", 53},
        {"logica", QStringLiteral("Analisi logica"), QStringLiteral("Logica"), "temlogica", 34},
        {"frasi", QStringLiteral("Comprensione di frasi"), QStringLiteral("Frasi"), "temfrasi", 12},
        {"cause", QStringLiteral("Relazioni causali"), QStringLiteral("Cause"), "temcause", 31},
        {"cronologia", QStringLiteral("Cronologia"), QStringLiteral("Cronologia"), "temcrono", 20},
        {"fisica", QStringLiteral("Carta fisica"), QStringLiteral("C. fisica"), "temfisica", 22},
        {"politica", QStringLiteral("Carta politica"), QStringLiteral("C. politica"), "tempolitica", 40},
    }};
    return p;
}

const std::array<ScoreField, kFieldCount> &scoreFields()
{
    static const std::array<ScoreField, kFieldCount> f = {{
        {"lessico1", QStringLiteral("Lessico (1° brano)"), 6, Part::Lettura},
        {"fatti1", QStringLiteral("Fatti espliciti (1° brano)"), 3, Part::Lettura},
        {"inferen1", QStringLiteral("Inferenze (1° brano)"), 3, Part::Lettura},
        {"sintesi1", QStringLiteral("Sintesi (1° brano)"), 1, Part::Lettura},
        {"scopi2", QStringLiteral("Scopi dell'autore (2° brano)"), 4, Part::Lettura},
        {"fatti2", QStringLiteral("Fatti espliciti (2° brano)"), 6, Part::Lettura},
        {"inferen2", QStringLiteral("Inferenze (2° brano)"), 10, Part::Lettura},
        {"sintesi2", QStringLiteral("Sintesi (2° brano)"), 1, Part::Lettura},
        {"gramsem", QStringLiteral("Analisi grammaticale"), 53, Part::Grammatica},
        {"logsem", QStringLiteral("Analisi logica"), 34, Part::Logica},
        {"frasi1", QStringLiteral("Comprensione di frasi"), 12, Part::Frasi},
        {"causasem", QStringLiteral("Relazioni causali semplici"), 15, Part::Cause},
        {"causacom", QStringLiteral("Relazioni causali complesse"), 16, Part::Cause},
        {"cronolog", QStringLiteral("Date e avvenimenti"), 20, Part::Cronologia},
        {"elemfis", QStringLiteral("Elementi fisici"), 22, Part::Fisica},
        {"elempol", QStringLiteral("Regioni e capoluoghi"), 40, Part::Politica},
    }};
    return f;
}

std::array<bool, kPartCount> finishedParts(const PupilRow &row)
{
    std::array<bool, kPartCount> done{};
    // No progress code, or one no test writes: nothing can be vouched for.
    const std::optional<int> position = batteryPosition(row.arrivo, row.sub);
    if (!position)
        return done;
    // A part is finished when the record stands past its last stage.
    for (const StageCodes &c : stages())
        for (int i = 0; i < kPartCount; ++i)
            if (qstrcmp(parts()[size_t(i)].key, c.prova) == 0)
                done[size_t(i)] = int(c.stage) < *position;
    return done;
}

bool complete(const PupilRow &row)
{
    return row.arrivo == kArrivoComplete && row.sub == kSubComplete;
}

int partPoints(const PupilRow &row, Part p)
{
    int sum = 0;
    for (int i = 0; i < kFieldCount; ++i)
        if (scoreFields()[size_t(i)].part == p)
            sum += row.scores[size_t(i)].value_or(0);
    return sum;
}

namespace {

double percentOf(double points, int maximum)
{
    return maximum > 0 ? 100.0 * points / maximum : 0.0;
}

} // namespace

bool readClass(Database &db, const QString &table, std::vector<PupilRow> &rows, QString *error)
{
    rows.clear();
    auto fail = [&](const QString &why) {
        rows.clear();
        if (error)
            *error = why;
        return false;
    };
    // The table's columns tell whether it is there at all, in the one look the check needs.
    const QStringList present = isClassTable(table) ? db.columns(table) : QStringList();
    if (present.isEmpty())
        return fail(QStringLiteral("La tabella \"%1\" non c'è nell'archivio.").arg(table));
    // Fields in this order: nome, data, arrivo, sub, the scores, the minutes of each part.
    QStringList fields = {QStringLiteral("nome"), QStringLiteral("data"), QStringLiteral("arrivo"), QStringLiteral("sub")};
    constexpr int kScoresAt = 4;
    constexpr int kMinutesAt = kScoresAt + kFieldCount;
    for (const ScoreField &f : scoreFields())
        fields << QString::fromLatin1(f.name);
    for (const PartInfo &p : parts())
        fields << QString::fromLatin1(p.minutesField);
    RecordReader in(db, table, fields, present);
    if (!in.exec())
        return fail(QStringLiteral("Non riesco a leggere la tabella \"%1\".").arg(table));
    while (in.next()) {
        PupilRow r;
        r.nome = in.text(0);
        r.data = in.text(1);
        r.arrivo = in.number(2);
        r.sub = in.number(3);
        for (int i = 0; i < kFieldCount; ++i)
            r.scores[size_t(i)] = in.number(kScoresAt + i);
        for (int i = 0; i < kPartCount; ++i)
            r.minutes[size_t(i)] = in.number(kMinutesAt + i);
        rows.push_back(std::move(r));
    }
    if (in.error().isValid())
        return fail(QStringLiteral("Non riesco a leggere tutta la tabella \"%1\".").arg(table));
    return true;
}

int bandOf(int points, int maximum)
{
    if (maximum <= 0 || points <= 0)
        return 0;
    return std::min(kBandCount - 1, points * kBandCount / maximum);
}

QString bandLabel(int band)
{
    const int low = band * 100 / kBandCount;
    const int high = band == kBandCount - 1 ? 100 : (band + 1) * 100 / kBandCount - 1;
    return QStringLiteral("%1–%2 %").arg(low).arg(high);
}

ClassStats classStats(const std::vector<PupilRow> &rows)
{
    ClassStats s;
    s.records = int(rows.size());
    std::array<std::vector<int>, kFieldCount> values;
    std::array<long long, kPartCount> points{}, minutes{};
    for (const PupilRow &r : rows) {
        if (complete(r))
            ++s.complete;
        const std::array<bool, kPartCount> done = finishedParts(r);
        for (int i = 0; i < kFieldCount; ++i)
            if (done[size_t(scoreFields()[size_t(i)].part)])
                values[size_t(i)].push_back(r.scores[size_t(i)].value_or(0));
        for (int p = 0; p < kPartCount; ++p) {
            if (!done[size_t(p)])
                continue;
            PartStats &ps = s.parts[size_t(p)];
            const int pts = partPoints(r, Part(p));
            ++ps.finished;
            points[size_t(p)] += pts;
            ++ps.bands[size_t(bandOf(pts, parts()[size_t(p)].maximum))];
            if (r.minutes[size_t(p)]) {
                ++ps.timed;
                minutes[size_t(p)] += *r.minutes[size_t(p)];
            }
        }
    }
    for (int i = 0; i < kFieldCount; ++i) {
        std::vector<int> &v = values[size_t(i)];
        FieldStats &f = s.fields[size_t(i)];
        f.count = int(v.size());
        if (v.empty())
            continue;
        std::sort(v.begin(), v.end());
        long long sum = 0;
        for (int x : v)
            sum += x;
        f.mean = double(sum) / double(v.size());
        const size_t mid = v.size() / 2;
        f.median = v.size() % 2 ? v[mid] : (v[mid - 1] + v[mid]) / 2.0;
        f.minimum = v.front();
        f.maximum = v.back();
        f.percent = percentOf(f.mean, scoreFields()[size_t(i)].maximum);
    }
    for (int p = 0; p < kPartCount; ++p) {
        PartStats &ps = s.parts[size_t(p)];
        if (ps.finished > 0)
            ps.meanPercent = percentOf(double(points[size_t(p)]) / ps.finished, parts()[size_t(p)].maximum);
        if (ps.timed > 0)
            ps.meanMinutes = double(minutes[size_t(p)]) / ps.timed;
    }
    return s;
}

QString levelName(Level l)
{
    switch (l) {
    case Level::Avanzato: return QStringLiteral("A – Avanzato");
    case Level::Intermedio: return QStringLiteral("B – Intermedio");
    case Level::Base: return QStringLiteral("C – Base");
    case Level::Iniziale: return QStringLiteral("D – Iniziale");
    case Level::NonFinita: break;
    }
    return QStringLiteral("prove da finire");
}

QString levelGroupName(Level l)
{
    return l == Level::NonFinita ? QStringLiteral("Prove da finire") : levelName(l);
}

Level levelOf(long long points, long long maximum)
{
    // Whole-number arithmetic, so 79.9 % is not rounded up to Avanzato.
    const long long p = 100LL * points;
    if (p >= 80LL * maximum)
        return Level::Avanzato;
    if (p >= 60LL * maximum)
        return Level::Intermedio;
    if (p >= 40LL * maximum)
        return Level::Base;
    return Level::Iniziale;
}

QString areaName(Area a)
{
    switch (a) {
    case Area::Italiano: return QStringLiteral("Italiano");
    case Area::Storia: return QStringLiteral("Storia");
    case Area::Geografia: return QStringLiteral("Geografia");
    case Area::Complessivo: break;
    }
    return QStringLiteral("Complessivo");
}

std::vector<Part> areaParts(Area a)
{
    switch (a) {
    case Area::Italiano: return {Part::Lettura, Part::Grammatica, Part::Logica, Part::Frasi};
    case Area::Storia: return {Part::Cause, Part::Cronologia};
    case Area::Geografia: return {Part::Fisica, Part::Politica};
    case Area::Complessivo: break;
    }
    std::vector<Part> all;
    for (int p = 0; p < kPartCount; ++p)
        all.push_back(Part(p));
    return all;
}

int areaMaximum(Area a)
{
    int m = 0;
    for (Part p : areaParts(a))
        m += parts()[size_t(p)].maximum;
    return m;
}

QString areaCaption(Area a)
{
    if (a == Area::Complessivo)
        return QStringLiteral("Complessivo (tutte le prove)");
    QStringList tests;
    for (Part p : areaParts(a))
        tests << parts()[size_t(p)].title.toLower();
    return QStringLiteral("%1 (%2)").arg(areaName(a), tests.join(QStringLiteral(", ")));
}

QString levelRule()
{
    return QStringLiteral(
        "Il livello di un'area è la media delle percentuali ottenute nelle sue prove: ogni prova conta "
        "allo stesso modo, qualunque sia il suo punteggio massimo. A – Avanzato dall'80 %, B – Intermedio "
        "dal 60 %, C – Base dal 40 %, D – Iniziale sotto il 40 %. Queste soglie sono una convenzione del "
        "programma: la certificazione delle competenze descrive i livelli, non fissa percentuali. Contano "
        "solo le prove finite; un'area con una prova da finire non ha livello.");
}

PupilLevels pupilLevels(const PupilRow &row)
{
    PupilLevels out;
    out.nome = row.nome;
    out.data = row.data;
    const std::array<bool, kPartCount> done = finishedParts(row);
    for (int a = 0; a < kAreaCount; ++a) {
        const std::vector<Part> tests = areaParts(Area(a));
        // The mean of the tests' shares as one exact fraction: each share brought to the
        // least common multiple of the maxima.
        long long common = 1;
        for (Part p : tests)
            common = std::lcm(common, (long long)parts()[size_t(p)].maximum);
        bool all = true;
        int pts = 0;
        long long scaled = 0;
        for (Part p : tests) {
            all = all && done[size_t(p)];
            const int got = partPoints(row, p);
            pts += got;
            scaled += got * (common / parts()[size_t(p)].maximum);
        }
        const long long whole = common * (long long)tests.size();
        out.points[size_t(a)] = pts;
        out.percent[size_t(a)] = 100.0 * double(scaled) / double(whole);
        out.levels[size_t(a)] = all ? levelOf(scaled, whole) : Level::NonFinita;
    }
    return out;
}

std::vector<PupilLevels> classLevels(const std::vector<PupilRow> &rows)
{
    std::vector<PupilLevels> out;
    out.reserve(rows.size());
    for (const PupilRow &r : rows)
        out.push_back(pupilLevels(r));
    return out;
}

std::array<QStringList, kLevelCount> groupsByLevel(const std::vector<PupilLevels> &levels, Area a)
{
    std::array<QStringList, kLevelCount> g;
    for (const PupilLevels &l : levels)
        g[size_t(l.levels[size_t(a)])] << l.nome;
    return g;
}

Profile profile(const ClassStats &classe, const ClassStats &scuola)
{
    Profile p;
    for (int i = 0; i < kPartCount; ++i) {
        p.classe[size_t(i)] = classe.parts[size_t(i)].meanPercent;
        p.classeCount[size_t(i)] = classe.parts[size_t(i)].finished;
        p.scuola[size_t(i)] = scuola.parts[size_t(i)].meanPercent;
        p.scuolaCount[size_t(i)] = scuola.parts[size_t(i)].finished;
    }
    return p;
}

bool classInsight(Database &db, const QString &table, ClassInsight &out, QString *error)
{
    out = ClassInsight{};
    out.table = table;
    if (!readClass(db, table, out.rows, error))
        return false;
    // The school: every class table's rows pooled (a missing table counts as empty).
    std::vector<PupilRow> all;
    for (const QString &t : classTables()) {
        std::vector<PupilRow> rows;
        if (t == table)
            rows = out.rows;
        else if (db.hasTable(t) && !readClass(db, t, rows, error))
            return false;
        all.insert(all.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    }
    out.stats = classStats(out.rows);
    out.school = classStats(all);
    out.profile = profile(out.stats, out.school);
    out.levels = classLevels(out.rows);
    return questionAnalysis(db, table, out.questions, error);
}

} // namespace qv::insight
