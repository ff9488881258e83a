#include "ui/application.h"

#include "ui/screenbase.h"

namespace qv::ui {

Application::Application(Dialogs &dialogs, Clock &clock, Exit &exit, QString dataDir)
    : session_(dialogs, clock, exit, *this, std::move(dataDir))
{
}

Application::~Application()
{
    for (auto &entry : screens_)
        delete entry.second;
    screens_.clear();
    // Cursors go before the database they read.
    session_.state.rsclasse.reset();
    session_.state.dbrisultati.reset();
}

void Application::setFactory(Screen s, Factory f)
{
    factories_[s] = std::move(f);
}

ScreenBase *Application::screen(Screen s) const
{
    auto it = screens_.find(s);
    return it == screens_.end() ? nullptr : it->second;
}

ScreenBase *Application::load(Screen s)
{
    if (ScreenBase *w = screen(s))
        return w;
    auto f = factories_.find(s);
    if (f == factories_.end())
        return nullptr;
    ScreenBase *w = f->second(*this);
    w->setObjectName(QString::fromLatin1(screenName(s)));
    screens_[s] = w;
    w->move(0, 0);
    w->load();
    return w;
}

void Application::show(Screen s)
{
    ScreenBase *w = load(s);
    if (!w)
        return;
    w->activate();
    // activate() may itself have handed over or ended the program.
    if (screen(s) == w && !w->keepHidden())
        w->show();
}

void Application::hide(Screen s)
{
    if (ScreenBase *w = screen(s))
        w->hide();
}

void Application::unload(Screen s)
{
    auto it = screens_.find(s);
    if (it == screens_.end())
        return;
    ScreenBase *w = it->second;
    screens_.erase(it);
    w->hide();
    w->deleteLater();
}

} // namespace qv::ui
