#include "common/ui/page_layout.h"

#include <QPagedPaintDevice>

namespace kv {

std::optional<QPageLayout>& ProgramPageLayout() {
  static std::optional<QPageLayout> layout;
  return layout;
}

void ApplyProgramPageLayout(QPagedPaintDevice& device) {
  if (ProgramPageLayout()) device.setPageLayout(*ProgramPageLayout());
}

}  // namespace kv
