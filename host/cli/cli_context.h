#pragma once

#include "runtime/plugin_loader.h"

#include <memory>
#include <string>
#include <vector>

// What every orvex360 command starts from: the loaded plugin folders.
struct CliContext {
  std::string pluginsFolder;
  std::vector<std::unique_ptr<LoadedModule>> modules;

  // Loads the plugins; prints one clear message per failure and returns false when none loaded.
  bool LoadPlugins();
};

// The plugins folder beside the executable, unless ORVEX360_PLUGINS names another.
std::string DefaultPluginsFolder(const char* argv0);

int RunPluginsCommand(CliContext& context);
