#pragma once

#include "runtime/plugin_loader.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The tool's exit codes: done; the command failed (a message says why); the command line was not
// understood.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// What every orvex360 command starts from: the loaded plugin folders.
struct CliContext {
  std::string pluginsFolder;
  bool quiet = false;  // no progress; console lines only when they report a problem
  std::vector<std::unique_ptr<LoadedModule>> modules;

  // Loads the plugins; prints one clear message per failure and returns false when none loaded.
  bool LoadPlugins();
};

// The plugins folder beside the executable, unless ORVEX360_PLUGINS names another.
std::string DefaultPluginsFolder(const char* argv0);

// A subcommand: its CLI11 node and what runs once the plugins are loaded (returns the exit code).
struct CliCommand {
  CLI::App* app = nullptr;
  std::function<int(CliContext&)> run;
  bool needsPlugins = true;  // false: runs without loading them (file tools)
};

// Each command file adds its subcommand with one of these.
CliCommand AddPluginsCommand(CLI::App& parent);
CliCommand AddPanelCommand(CLI::App& parent);
CliCommand AddRenderCommand(CLI::App& parent);
CliCommand AddCreateCommand(CLI::App& parent);
CliCommand AddInfoCommand(CLI::App& parent);
CliCommand AddFarmCommand(CLI::App& parent);
CliCommand AddViewCommand(CLI::App& parent);
CliCommand AddPreviewCommand(CLI::App& parent);
CliCommand AddEncodeCommand(CLI::App& parent);
