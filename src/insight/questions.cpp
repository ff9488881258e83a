#include "insight/questions.h"

#include "insight/classstats.h"

#include "battery/analysis/analysiscontent.h"
#include "battery/analysis/cronologiacontent.h"
#include "battery/analysis/storiacontent.h"
#include "battery/comprehension/frasicontent.h"
#include "battery/comprehension/letturacontent.h"
#include "battery/geography/cartgecontent.h"
#include "battery/items.h"
#include "storage/archivequeries.h"
#include "storage/classmap.h"
#include "storage/tables.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <iterator>

namespace qv::insight {

QString testTitle(const QString &prova)
{
    static const char *const names[] = {"Lettura", "Grammatica", "Logica", "Frasi",
                                        "Cause", "Cronologia", "Carta fisica", "Carta politica"};
    const int i = int(itemTests().indexOf(prova));
    return i >= 0 && i < int(std::size(names)) ? QString::fromLatin1(names[i]) : prova;
}

namespace {

// The sentence and element of an analysis item, found through the numbering the test uses.
QString analysisPlace(const QList<AnalysisSentence> &frasi, int numero, const QString &elemento)
{
    for (int f = 1; f <= frasi.size(); ++f)
        for (int k = 1; k <= frasi.at(f - 1).elementi.size(); ++k)
            if (analysisItem(f, k) == numero)
                return QStringLiteral("frase %1, %2 %3").arg(f).arg(elemento).arg(k);
    return {};
}

QString causePlace(int numero)
{
    for (int i = 1; i <= kStoriaInsiemi; ++i)
        for (int k = 1; k <= storiaFrasi(i).size(); ++k)
            if (causeItem(i, k) == numero)
                return QStringLiteral("schema %1, casella %2").arg(i).arg(k);
    return {};
}

QString chronologyPlace(int numero)
{
    for (int parte = 1; parte <= 2; ++parte) {
        const auto &eventi = cronologiaEventiMeta(parte);
        for (int r = 0; r < int(eventi.size()); ++r)
            if (eventi[size_t(r)] == numero)
                return QStringLiteral("parte %1, avvenimento %2").arg(parte).arg(r + 1);
    }
    return {};
}

QString place(const QString &prova, int numero)
{
    switch (itemTests().indexOf(prova)) {
    case 0:
        if (numero >= 1 && numero <= lettura::kUltimaPrimo)
            return QStringLiteral("brano 1, domanda %1").arg(numero);
        if (numero > lettura::kUltimaPrimo && numero <= lettura::kDomande)
            return QStringLiteral("brano 2, domanda %1").arg(numero - lettura::kUltimaPrimo);
        break;
    case 1: return analysisPlace(grammaticaSentences(), numero, QStringLiteral("parola"));
    case 2: return analysisPlace(logicaSentences(), numero, QStringLiteral("elemento"));
    case 3:
        if (numero >= 1 && numero <= frasi::kDomande)
            return QStringLiteral("domanda %1").arg(numero);
        break;
    case 4: return causePlace(numero);
    case 5: return chronologyPlace(numero);
    case 6:
        if (numero >= 1 && numero <= elementifisici().size())
            return QStringLiteral("luogo %1").arg(numero);
        break;
    case 7:
        if (numero >= 1 && numero <= kRegioni)
            return QStringLiteral("luogo %1 (regione)").arg(numero);
        if (numero > kRegioni && numero <= kRegioni + capoluoghi().size())
            return QStringLiteral("luogo %1 (capoluogo)").arg(numero - kRegioni);
        break;
    default: break;
    }
    return {};
}

} // namespace

QString itemPlace(const QString &prova, int numero)
{
    const QString p = place(prova, numero);
    return p.isEmpty() ? QStringLiteral("numero %1").arg(numero) : p;
}

QString itemName(const QString &prova, int numero)
{
    return testTitle(prova) + QStringLiteral(", ") + itemPlace(prova, numero);
}

QString answerText(const QString &prova, int numero, const QString &risposta)
{
    bool isNumber = false;
    const int k = risposta.toInt(&isNumber);
    if (!isNumber || k < 1 || k > 4)
        return risposta;
    static const char letters[] = "abcd";
    const QString letter = QString(QLatin1Char(letters[k - 1])) + QLatin1Char(')');
    if (prova == QLatin1String("lettura") && numero >= 1 && numero <= lettura::kDomande) {
        // The first synthesis question shows its four summaries, each led by its letter.
        if (numero == lettura::kUltimaPrimo)
            return lettura::riassunti()[size_t(k - 1)].simplified();
        const QString shown = lettura::domande()[size_t(numero)][size_t(k)].simplified();
        return shown.isEmpty() ? letter : shown;
    }
    if (prova == QLatin1String("frasi") && numero >= 1 && numero <= frasi::kDomande)
        return (letter + QLatin1Char(' ') + frasi::domande()[size_t(numero)][size_t(k)].simplified()).trimmed();
    return risposta;
}

bool questionAnalysis(Database &db, const QString &table, QuestionAnalysis &out, QString *error)
{
    out = QuestionAnalysis{};
    auto fail = [&](const QSqlQuery &q) {
        if (error)
            *error = q.lastError().text();
        return false;
    };
    if (!isClassTable(table)) {
        if (error)
            *error = QStringLiteral("tabella sconosciuta");
        return false;
    }
    QHash<QString, int> at; // "prova/numero" -> index into items
    for (const QString &prova : itemTests()) {
        for (const Item &it : testItems(prova)) {
            at.insert(prova + QLatin1Char('/') + QString::number(it.numero), int(out.items.size()));
            ItemStats s;
            s.prova = prova;
            s.numero = it.numero;
            s.testo = it.testo;
            s.contesto = it.contesto;
            s.chiave = it.chiave;
            out.items.push_back(s);
        }
    }
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    if (!q.exec(Sql(db).count(table)) || !q.next())
        return fail(q);
    out.records = q.value(0).toInt();
    q.finish();
    if (!db.hasTable(QStringLiteral("risposte")))
        return true;
    // Answers of pupils who still have a record here, counted by answer in one pass.
    q.prepare(archivequeries::answeredRecords(db, table));
    q.addBindValue(table);
    if (!q.exec() || !q.next())
        return fail(q);
    out.covered = q.value(0).toInt();
    q.finish();
    q.prepare(archivequeries::answerTally(db, table));
    q.addBindValue(table);
    if (!q.exec())
        return fail(q);
    while (q.next()) {
        const auto it = at.constFind(q.value(0).toString() + QLatin1Char('/') + q.value(1).toString());
        if (it == at.constEnd())
            continue; // an item this version does not know
        ItemStats &s = out.items[size_t(*it)];
        const QString answer = q.value(2).toString();
        const int n = q.value(4).toInt();
        if (q.value(3).toInt() == 1) {
            s.right += n;
        } else if (answer.isEmpty()) {
            s.empty += n;
        } else {
            s.wrong += n;
            if (n > s.commonWrongCount) {
                s.commonWrongCount = n;
                s.commonWrong = answer;
            }
        }
    }
    if (q.lastError().isValid())
        return fail(q);
    for (int i = 0; i < int(out.items.size()); ++i)
        if (out.items[size_t(i)].answered() > 0)
            out.hardest.push_back(i);
    std::stable_sort(out.hardest.begin(), out.hardest.end(),
                     [&](int a, int b) { return out.items[size_t(a)].share() < out.items[size_t(b)].share(); });
    if (out.hardest.size() > 10)
        out.hardest.resize(10);
    return true;
}

} // namespace qv::insight
