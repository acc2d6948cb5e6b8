// The ephemeris engine joins the start-up once the main window exists: no ephemeris
// files end the run with the fatal box; a file missing later asks the user
// ("Продолжить" or "Завершить").
#pragma once

namespace kv {

// Help topic of the missing-file question's "Помощь".
inline constexpr const char* kHelpNoFEfem = "NoFEfem";

void StartEphemeris();

}  // namespace kv
