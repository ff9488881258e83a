#include "ui/screens/flstoria1.h"

namespace qv::ui {

FLstoria1::FLstoria1(Application &app) : ScreenBase(app, QStringLiteral("FLstoria1")) {}

void FLstoria1::activate()
{
    loadBackground();
}

} // namespace qv::ui
