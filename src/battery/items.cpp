#include "battery/items.h"

#include "battery/analysis/analysiscontent.h"
#include "battery/analysis/cronologiacontent.h"
#include "battery/analysis/storiacontent.h"
#include "battery/comprehension/frasicontent.h"
#include "battery/comprehension/letturacontent.h"
#include "battery/geography/cartgecontent.h"

namespace qv {

const QStringList &itemTests()
{
    static const QStringList names = {
        QStringLiteral("lettura"), QStringLiteral("grammatica"), QStringLiteral("logica"),
        QStringLiteral("frasi"),   QStringLiteral("cause"),      QStringLiteral("cronologia"),
        QStringLiteral("fisica"),  QStringLiteral("politica")};
    return names;
}

const QList<Item> &testItems(const QString &prova)
{
    static const QList<Item> none;
    switch (itemTests().indexOf(prova)) {
    case 0: return lettura::items();
    case 1: return grammaticaItems();
    case 2: return logicaItems();
    case 3: return frasi::items();
    case 4: return causeItems();
    case 5: return cronologiaItems();
    case 6: return fisicaItems();
    case 7: return politicaItems();
    default: return none;
    }
}

const Item *findItem(const QString &prova, int numero)
{
    for (const Item &it : testItems(prova))
        if (it.numero == numero)
            return &it;
    return nullptr;
}

} // namespace qv
