#include "cli_context.h"
#include "runtime/console.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

std::string DefaultPluginsFolder(const char* argv0) {
  // Set but empty is as good as unset, as for SOURCE_DATE_EPOCH.
  if (const char* configured = std::getenv("ORVEX360_PLUGINS"); configured && *configured) return configured;
  std::error_code error;
  fs::path executable = fs::canonical("/proc/self/exe", error);
  if (error) executable = fs::absolute(argv0);
  return (executable.parent_path() / ORVEX_DEFAULT_PLUGINS).string();
}

bool CliContext::LoadPlugins() {
  std::vector<std::string> errors;
  std::vector<std::string> skipped;
  modules = ::LoadPlugins(pluginsFolder, errors, skipped);
  for (const std::string& line : skipped) std::fprintf(stderr, "orvex360: %s\n", line.c_str());
  for (const std::string& error : errors) std::fprintf(stderr, "orvex360: %s\n", error.c_str());
  return errors.empty() && !modules.empty();
}

bool IsToolOption(const std::string& word) {
  for (const char* option : {"--plugins", "-q", "--quiet", "-h", "--help", "--version"})
    if (word == option) return true;
  return word.starts_with("--plugins=");
}

// The first word that is no option (nor --plugins' value) names the command; CLI11 would only call
// an unknown one "not expected", and an unknown option before it "a subcommand is required".
bool NamesUnknownWord(int argc, char** argv, const std::vector<CliCommand>& commands) {
  std::string names;
  for (const CliCommand& command : commands) names += (names.empty() ? "" : ", ") + command.app->get_name();
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--plugins") ++i;
    if (word.size() > 1 && word[0] == '-' && !IsToolOption(word)) {
      std::fprintf(stderr, "orvex360: unknown option \"%s\" before the command; the commands are: %s\n",
                   word.c_str(), names.c_str());
      return true;
    }
    if (word.empty() || word[0] == '-') continue;
    for (const CliCommand& command : commands)
      if (command.app->get_name() == word) return false;
    std::fprintf(stderr, "orvex360: unknown command \"%s\"; the commands are: %s\n", word.c_str(),
                 names.c_str());
    return true;
  }
  return false;
}

// A command line the tool does not take: one message in the tool's voice, and where help is.
std::string UsageFailure(const CLI::App*, const CLI::Error& error) {
  return std::string("orvex360: ") + error.what() +
         "\norvex360: \"orvex360 --help\" lists the commands, \"orvex360 COMMAND --help\" their options\n";
}

int main(int argc, char** argv) {
  // A file-size limit then fails the write with a message instead of killing the process.
  std::signal(SIGXFSZ, SIG_IGN);
  CLI::App app{"orvex360: renders 360-degree, fulldome and stereo output through the Orvex360Cam module"};
  app.require_subcommand(1);
  app.fallthrough();  // -q and --plugins also after the command's name
  app.failure_message(UsageFailure);
  app.set_version_flag("--version", std::string("orvex360 ") + ORVEX_VERSION);
  CliContext context;
  context.pluginsFolder = DefaultPluginsFolder(argv[0]);
  app.add_option("--plugins", context.pluginsFolder, "Plugin folder, or a folder of plugin folders")
      ->capture_default_str();
  app.add_flag("-q,--quiet", context.quiet,
               "Only problems: no progress, and of the console lines only those reporting one");

  const std::vector<CliCommand> commands = {
      AddPluginsCommand(app), AddPanelCommand(app),   AddRenderCommand(app),
      AddCreateCommand(app),  AddInfoCommand(app),    AddFarmCommand(app),
      AddViewCommand(app),    AddPreviewCommand(app), AddEncodeCommand(app)};

  if (NamesUnknownWord(argc, argv, commands)) return kExitUsage;
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // --help and --version end here too, with their own exit code 0.
    return app.exit(error) == 0 ? kExitDone : kExitUsage;
  }
  if (context.quiet) console::SetEchoProblemsOnly();
  for (const CliCommand& command : commands)
    if (command.app->parsed())
      return command.needsPlugins && !context.LoadPlugins() ? kExitFailed : command.run(context);
  return kExitDone;
}
