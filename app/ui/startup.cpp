#include "app/ui/startup.h"

#include <vector>

namespace kv {
namespace {
std::vector<std::function<void()>>& Hooks() {
  static std::vector<std::function<void()>> hooks;
  return hooks;
}
}  // namespace

void AddStartupHook(std::function<void()> hook) { Hooks().push_back(std::move(hook)); }

void RunStartupHooks() {
  for (auto& h : Hooks()) h();
}

}  // namespace kv
