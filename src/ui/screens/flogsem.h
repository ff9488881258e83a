// FLogsem: placeholder until the screen is built.
#pragma once

#include "ui/screenbase.h"

namespace qv::ui {

class FLogsem : public ScreenBase {
    Q_OBJECT
public:
    explicit FLogsem(Application &app);
    void activate() override;
};

} // namespace qv::ui
