// The stand-in for a build without Qt (KV_BUILD_UI off): no picture is painted.
#include "app/cli/cli_engine.h"
#include "app/cli/cli_pictures.h"
#include "common/messages.h"

namespace kv::cli {

bool PicturesBuiltIn() { return false; }

int CheckPictureOptions(const char*, const CliArgs&) { return 0; }

int WriteChartPictures(const CliContext&, const ChartRecord&, const Settings&, const CliArgs&) {
  return EngineFailure(Text("cliNoPaint"));
}

void EndPictures() {}

}  // namespace kv::cli
