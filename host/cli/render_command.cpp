#include "cli_context.h"

#include <cstdio>

CliCommand AddRenderCommand(CLI::App& parent) {
  CLI::App* render = parent.add_subcommand("render", "Render a scene through the module's lens (not yet available)");
  return {render, [](CliContext&) {
            std::fprintf(stderr, "orvex360: render is not available yet\n");
            return 2;
          }};
}
