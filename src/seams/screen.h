// The screens of the pupils' road, as the models name the next one and the registry shows it.
#pragma once

namespace qv {

enum class Screen {
    FLINIZIO, FrmNOME, FLETTURA, FLgrasem, FLogsem, FLfrasi,
    FLstoria1, FLstoria2, FLcartge, FLstampa
};
const char *screenName(Screen s);

} // namespace qv
