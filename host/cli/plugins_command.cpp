#include "cli_context.h"
#include "runtime/plugin_registry.h"

#include <cstdio>

namespace {
int ListPlugins(CliContext& context) {
  for (const auto& module : context.modules) std::printf("module  %s\n", module->Library().c_str());
  std::printf("%-4s %-11s %-8s %-32s %-6s %s\n", "#", "kind", "ID", "name", "flags", "icon");
  int order = 1;
  for (const auto& entry : PluginRegistry::Instance().Entries()) {
    const char* icon = entry->icon ? "loaded" : "none";
    std::printf("%-4d %-11s %-8d %-32s %-6d %s\n", order++, PluginKindName(entry->kind), entry->id,
                ("\"" + entry->name + "\"").c_str(), entry->info, icon);
  }
  return 0;
}
}  // namespace

CliCommand AddPluginsCommand(CLI::App& parent) {
  return {parent.add_subcommand("plugins", "Load the plugins and list every registration in order"),
          ListPlugins};
}
