// The ephemeris engine joins the start-up once the main window exists: no ephemeris
// files end the run with the fatal box; a file missing later asks the user
// ("Продолжить" or "Завершить").
#pragma once

namespace kv {

void StartEphemeris();

}  // namespace kv
