#include "ui/screens/flstampa.h"

namespace qv::ui {

FLstampa::FLstampa(Application &app) : ScreenBase(app, QStringLiteral("FLstampa")) {}

void FLstampa::activate()
{
    loadBackground();
}

} // namespace qv::ui

namespace qv::ui {

void FLstampa::openFromStart(const QString &nomeclasse)
{
    setWindowTitle(nomeclasse);
    app().show(Screen::FLstampa);
}

} // namespace qv::ui
