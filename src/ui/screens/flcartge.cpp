#include "ui/screens/flcartge.h"

namespace qv::ui {

FLcartge::FLcartge(Application &app) : ScreenBase(app, QStringLiteral("FLcartge")) {}

void FLcartge::activate()
{
    loadBackground();
}

} // namespace qv::ui
