#include "ui/screens/flfrasi.h"

namespace qv::ui {

FLfrasi::FLfrasi(Application &app) : ScreenBase(app, QStringLiteral("COMPRENSIONE DI FRASI")) {}

void FLfrasi::activate()
{
    loadBackground();
}

} // namespace qv::ui
