// FLcartge: placeholder until the screen is built.
#pragma once

#include "ui/screenbase.h"

namespace qv::ui {

class FLcartge : public ScreenBase {
    Q_OBJECT
public:
    explicit FLcartge(Application &app);
    void activate() override;
};

} // namespace qv::ui
