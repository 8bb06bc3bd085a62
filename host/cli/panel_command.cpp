#include "cli_context.h"

#include <cstdio>

CliCommand AddPanelCommand(CLI::App& parent) {
  CLI::App* panel = parent.add_subcommand("panel", "Show a node's settings panel as text (not yet available)");
  return {panel, [](CliContext&) {
            std::fprintf(stderr, "orvex360: panel is not available yet\n");
            return 2;
          }};
}
