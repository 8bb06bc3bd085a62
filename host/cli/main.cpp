#include "cli_context.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

std::string DefaultPluginsFolder(const char* argv0) {
  if (const char* configured = std::getenv("ORVEX360_PLUGINS")) return configured;
  std::error_code error;
  fs::path executable = fs::canonical("/proc/self/exe", error);
  if (error) executable = fs::absolute(argv0);
  return (executable.parent_path() / ORVEX_DEFAULT_PLUGINS).string();
}

bool CliContext::LoadPlugins() {
  std::vector<std::string> errors;
  modules = ::LoadPlugins(pluginsFolder, errors);
  for (const std::string& error : errors) std::fprintf(stderr, "orvex360: %s\n", error.c_str());
  return errors.empty() && !modules.empty();
}

int main(int argc, char** argv) {
  CLI::App app{"orvex360: renders 360-degree, fulldome and stereo output through the Orvex360Cam module"};
  app.require_subcommand(1);
  CliContext context;
  context.pluginsFolder = DefaultPluginsFolder(argv[0]);
  app.add_option("--plugins", context.pluginsFolder, "Plugin folder, or a folder of plugin folders")
      ->capture_default_str();

  const std::vector<CliCommand> commands = {AddPluginsCommand(app), AddPanelCommand(app),
                                            AddRenderCommand(app), AddCreateCommand(app)};

  CLI11_PARSE(app, argc, argv);
  if (!context.LoadPlugins()) return 1;
  for (const CliCommand& command : commands)
    if (command.app->parsed()) return command.run(context);
  return 0;
}
