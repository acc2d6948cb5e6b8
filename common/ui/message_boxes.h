// The warning and fatal boxes of the GUI, installed as the message layer's sink.
#pragma once

namespace kv {

// Warning: caption "Предупреждение"; fatal: caption "Аварийное завершение" (the
// message layer then ends the run with status 1). Both are application-modal.
void InstallMessageBoxes();

}  // namespace kv
