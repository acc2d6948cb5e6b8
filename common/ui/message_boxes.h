// The warning and fatal boxes of the GUI, installed as the message layer's sink.
#pragma once

namespace kv {

// Warning: caption "Предупреждение"; fatal: caption "Аварийное завершение" (Fatal
// then ends the run with status 1 through the program's ender). Both are
// application-modal.
void InstallMessageBoxes();

}  // namespace kv
