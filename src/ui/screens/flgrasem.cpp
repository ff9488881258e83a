#include "ui/screens/flgrasem.h"

namespace qv::ui {

FLgrasem::FLgrasem(Application &app) : ScreenBase(app, QStringLiteral("Analisi grammaticale semplificata")) {}

void FLgrasem::activate()
{
    loadBackground();
}

} // namespace qv::ui
