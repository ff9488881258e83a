#include "archive/testoaiuto.h"

namespace qv {

QString testoaiuto()
{
    const QString a = QStringLiteral("\r\n");
    return QStringLiteral(" IMPORTO ed ESPORTO servono a raccogliere tutti i dati di UNA classe, distribuiti su diversi computer, in un solo archivio.")
        + a + a
        + QStringLiteral("Si deve:") + a
        + QStringLiteral("     1°) inserire un floppy disk che abbia sufficiente spazio (almeno 400 Kb);") + a
        + QStringLiteral("     2°) cliccare su Importo oppure Esporto") + a
        + QStringLiteral("Si raccomanda di usare un dischetto diverso per ogni classe. ") + a + a
        + QStringLiteral("Chi possiede un DATA BASE può gestire i dati degli alunni o delle classi come vuole. Basta aprire, "
                         "con il proprio DATA BASE, il file 'EXPquorvane.mdb'(dal dischetto), o il file 'Quorvane.mdb' "
                         "(sull'Hard Disk, nella cartella 'Programmi\\Quorvane\\Perquorvane').");
}

} // namespace qv
