// Every screen of the program, by name.
#include "ui/application.h"
#include "ui/archivescreen.h"
#include "ui/screens/flcartge.h"
#include "ui/screens/flettura.h"
#include "ui/screens/flfrasi.h"
#include "ui/screens/flgrasem.h"
#include "ui/screens/flinizio.h"
#include "ui/screens/flogsem.h"
#include "ui/screens/flstoria1.h"
#include "ui/screens/flstoria2.h"
#include "ui/screens/frmnome.h"

namespace qv::ui {

template<class T> static Application::Factory make()
{
    return [](Application &app) -> ScreenBase * { return new T(app); };
}

void registerScreens(Application &app)
{
    app.setFactory(Screen::FLINIZIO, make<FLINIZIO>());
    app.setFactory(Screen::FrmNOME, make<FrmNOME>());
    app.setFactory(Screen::FLETTURA, make<FLETTURA>());
    app.setFactory(Screen::FLgrasem, make<FLgrasem>());
    app.setFactory(Screen::FLogsem, make<FLogsem>());
    app.setFactory(Screen::FLfrasi, make<FLfrasi>());
    app.setFactory(Screen::FLstoria1, make<FLstoria1>());
    app.setFactory(Screen::FLstoria2, make<FLstoria2>());
    app.setFactory(Screen::FLcartge, make<FLcartge>());
    app.setFactory(Screen::FLstampa, [](Application &a) -> ScreenBase * {
        QString error;
        ArchiveScreen *s = makeArchiveScreen(a, &error);
        if (!s)
            a.session().dialogs.alert(error);
        return s;
    });
}

} // namespace qv::ui
