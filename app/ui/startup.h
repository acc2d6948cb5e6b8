// Start-up steps that other subsystems add after the main window exists (the
// ephemeris engine, command handlers of their windows). Each registers a hook from a
// static object in its UI library; they run in the order registered.
#pragma once

#include <functional>

namespace kv {

void AddStartupHook(std::function<void()> hook);
void RunStartupHooks();

struct StartupHookRegistration {
  explicit StartupHookRegistration(std::function<void()> hook) { AddStartupHook(std::move(hook)); }
};

}  // namespace kv
