#include "archive/servercopy.h"

#include "storage/classmap.h"
#include "storage/wording.h"

namespace qv {

ExchangeResult copiaSulServer(Database &server, Database &local)
{
    ExchangeResult total;
    auto fail = [&](const QString &why) {
        total = ExchangeResult();
        total.message = QStringLiteral("La copia sul server non è riuscita e il server è rimasto com'era.\n%1").arg(why);
        return total;
    };
    if (!server.onServer() || local.onServer())
        return fail(QStringLiteral("Ci vogliono il file dei risultati di questo computer e un server."));
    if (!server.begin())
        return fail(server.lastError());
    for (const QString &table : classTables()) {
        const ExchangeResult r = mergeClassFrom(server, local, table);
        if (!r.ok) {
            server.rollback();
            return fail(r.message);
        }
        total.added += r.added;
        total.updated += r.updated;
        total.present += r.present;
        total.unreadable += r.unreadable;
    }
    if (!server.commit()) {
        const QString why = server.lastError();
        server.rollback();
        return fail(why);
    }
    total.ok = true;
    total.message = QStringLiteral("Copia sul server finita: %1, %2, %3 (il server ne aveva già una copia uguale o più "
                                   "avanzata).")
                        .arg(counted(total.added, "risultato aggiunto", "risultati aggiunti"),
                             counted(total.updated, "aggiornato", "aggiornati"),
                             counted(total.present, "lasciato com'era", "lasciati com'erano"));
    if (total.unreadable > 0)
        total.message += QStringLiteral(" %1.").arg(counted(total.unreadable, "record illeggibile saltato (senza nome o con "
                                                                            "valori fuori misura)",
                                                          "record illeggibili saltati (senza nome o con valori fuori misura)"));
    return total;
}

} // namespace qv
