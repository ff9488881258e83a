#include "seams/screen.h"

namespace qv {

const char *screenName(Screen s)
{
    switch (s) {
    case Screen::FLINIZIO: return "FLINIZIO";
    case Screen::FrmNOME: return "FrmNOME";
    case Screen::FLETTURA: return "FLETTURA";
    case Screen::FLgrasem: return "FLgrasem";
    case Screen::FLogsem: return "FLogsem";
    case Screen::FLfrasi: return "FLfrasi";
    case Screen::FLstoria1: return "FLstoria1";
    case Screen::FLstoria2: return "FLstoria2";
    case Screen::FLcartge: return "FLcartge";
    case Screen::FLstampa: return "FLstampa";
    }
    return "?";
}

} // namespace qv
