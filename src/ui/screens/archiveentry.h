// The archive linked in (tests and tools), instead of loaded from its module.
#pragma once

#include "ui/archivescreen.h"

namespace qv::ui {

void useLinkedArchive();

} // namespace qv::ui
