#include "ui/screens/flogsem.h"

namespace qv::ui {

FLogsem::FLogsem(Application &app) : ScreenBase(app, QStringLiteral("Analisi logica semplificata")) {}

void FLogsem::activate()
{
    loadBackground();
}

} // namespace qv::ui
