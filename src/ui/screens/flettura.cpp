#include "ui/screens/flettura.h"

namespace qv::ui {

FLETTURA::FLETTURA(Application &app) : ScreenBase(app, QStringLiteral("COMPRENSIONE DELLA LETTURA")) {}

void FLETTURA::activate()
{
    loadBackground();
}

} // namespace qv::ui
