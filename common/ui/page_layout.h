// The page layout the user chose under "Макет страницы" (printer settings), kept for
// the run and given to every printout. Until one is chosen printouts keep the
// printer's own layout.
#pragma once

#include <QPageLayout>
#include <optional>

class QPagedPaintDevice;

namespace kv {

std::optional<QPageLayout>& ProgramPageLayout();
// Gives the chosen layout to a printer or PDF writer; nothing when none was chosen.
void ApplyProgramPageLayout(QPagedPaintDevice& device);

}  // namespace kv
