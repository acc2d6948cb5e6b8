// The program's private fonts "atm.ttf" (face "ATM", the astrological glyphs) and
// "daycour.ttf" (face "Day New"), installed for the run only.
#pragma once

namespace kv {

// Installs both files from the working directory; a file that cannot be installed
// gives the "NoF%s" warning and the program goes on.
void InstallProgramFonts();
void RemoveProgramFonts();

}  // namespace kv
