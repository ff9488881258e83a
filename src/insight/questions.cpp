#include "insight/questions.h"

#include "insight/classstats.h"

#include "battery/items.h"
#include "storage/classmap.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace qv::insight {

QString testTitle(const QString &prova)
{
    for (const PartInfo &p : parts())
        if (prova == QLatin1String(p.key))
            return p.shortTitle;
    return prova;
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
    const QString quoted = QLatin1Char('"') + table + QLatin1Char('"');
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(quoted)) || !q.next())
        return fail(q);
    out.records = q.value(0).toInt();
    q.finish();
    if (!db.hasTable(QStringLiteral("risposte")))
        return true;
    // Answers of pupils who still have a record here, counted by answer in one pass.
    const QString mine = QStringLiteral("FROM risposte r WHERE r.classe = ? AND EXISTS (SELECT 1 FROM %1 c WHERE c.data = r.data)")
                             .arg(quoted);
    q.prepare(QStringLiteral("SELECT count(DISTINCT r.data) ") + mine);
    q.addBindValue(table);
    if (!q.exec() || !q.next())
        return fail(q);
    out.covered = q.value(0).toInt();
    q.finish();
    q.prepare(QStringLiteral("SELECT r.prova, r.numero, r.risposta, r.giusta, count(*) ") + mine
              + QStringLiteral(" GROUP BY r.prova, r.numero, r.risposta, r.giusta ORDER BY r.prova, r.numero, r.risposta"));
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
