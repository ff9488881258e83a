// Copying a computer's results file into the lab's server, once, when the lab moves to it:
// every class with its answer log, by the rule of import (a copy already on the server is
// replaced only by one that got further), all in one transaction on the server.
#pragma once

#include "archive/exchange.h"
#include "storage/database.h"

namespace qv {

// Copies the ten classes of `local` (a results file) into `server`. Records the server
// holds (same data) are updated when this computer's copy got further and left otherwise,
// so running it twice doubles nothing. On failure the server is left as it was. The
// counts are in added, updated, present and unreadable; the Italian summary in message.
ExchangeResult copiaSulServer(Database &server, Database &local);

} // namespace qv
