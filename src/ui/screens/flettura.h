// FLETTURA: placeholder until the screen is built.
#pragma once

#include "ui/screenbase.h"

namespace qv::ui {

class FLETTURA : public ScreenBase {
    Q_OBJECT
public:
    explicit FLETTURA(Application &app);
    void activate() override;
};

} // namespace qv::ui
