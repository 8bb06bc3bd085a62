#include "cli_context.h"
#include "module_reading/camera_kinds.h"
#include "runtime/plugin_registry.h"
#include "scene/scene_library.h"
#include "scene/scene_tree.h"

#include <cstdio>

namespace {

struct CreateArguments {
  std::string kind;
  std::string scene = "empty";
  bool twice = false;
  bool undo = false;
  bool redo = false;
};

// The kinds a create command of the module makes on its own.
std::vector<std::string> CommandKindNames() {
  std::vector<std::string> names;
  for (const CameraKindInfo& info : CameraKinds())
    if (info.createdAs && info.kind != CameraKind::CubeFace) names.push_back(info.name);
  return names;
}

void PrintScene(const char* heading, const BaseDocument& doc) {
  std::printf("== %s\n%s", heading, SceneTree(doc).c_str());
}

// One step of the run; false (with a message) when it did not happen.
bool RunStep(const char* what, bool done, const BaseDocument& doc) {
  if (!done) {
    std::fprintf(stderr, "orvex360: %s did not happen (see the console line above)\n", what);
    return false;
  }
  PrintScene(what, doc);
  return true;
}

int RunCreate(const CreateArguments& arguments) {
  const CameraKindInfo* kind = FindCameraKind(arguments.kind);
  std::string error;
  BaseDocument* doc = scene_library::NewDocument();
  if (!doc || !scene_library::Build(arguments.scene, doc, error)) {
    std::fprintf(stderr, "orvex360: %s\n", doc ? error.c_str() : "cannot create a document");
    BaseDocument::Free(doc);
    return 1;
  }
  const std::string create = std::string("create ") + kind->name;
  bool ok = RunStep(create.c_str(), ExecuteCommand(CreateCommandOf(*kind), doc), *doc);
  if (ok && arguments.twice)
    ok = RunStep((create + " again").c_str(), ExecuteCommand(CreateCommandOf(*kind), doc), *doc);
  if (ok && arguments.undo) ok = RunStep("undo", doc->DoUndo(), *doc);
  if (ok && arguments.redo) ok = RunStep("redo", doc->DoRedo(), *doc);
  BaseDocument::Free(doc);
  return ok ? 0 : 1;
}

}  // namespace

CliCommand AddCreateCommand(CLI::App& parent) {
  CLI::App* command =
      parent.add_subcommand("create", "Run one of the module's create-camera commands and print the scene");
  auto arguments = std::make_shared<CreateArguments>();
  command->add_option("kind", arguments->kind, "Camera kind")
      ->required()
      ->check(CLI::IsMember(CommandKindNames()));
  command->add_option("--scene", arguments->scene, "Scene to start from: " + scene_library::Names())
      ->capture_default_str();
  command->add_flag("--twice", arguments->twice, "Run the command a second time");
  command->add_flag("--undo", arguments->undo, "Then undo the latest step");
  command->add_flag("--redo", arguments->redo, "Then redo the latest undone step");
  return {command, [arguments](CliContext&) { return RunCreate(*arguments); }};
}
