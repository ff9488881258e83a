#include "ui/screens/flstoria2.h"

namespace qv::ui {

FLstoria2::FLstoria2(Application &app) : ScreenBase(app, QStringLiteral("FLstoria2")) {}

void FLstoria2::activate()
{
    loadBackground();
}

} // namespace qv::ui
