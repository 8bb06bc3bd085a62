#include "cli_context.h"
#include "module_reading/description_symbols.h"
#include "module_reading/module_nodes.h"
#include "module_reading/module_parameters.h"
#include "option_values.h"
#include "project/render_project.h"
#include "runtime/attribute_manager.h"
#include "runtime/bitmap_io.h"
#include "runtime/custom_gui_host.h"
#include "runtime/description_values.h"
#include "runtime/host_state.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;
using attribute_manager::Panel;
using attribute_manager::PanelItem;

namespace {

struct PanelOptions {
  std::string node = "tag";
  std::vector<std::string> assignments;
  std::vector<std::string> presses;
  std::string bitmapFolder;
  std::string renderSize;     // WxH written into the render settings first
  std::string answer = "no";  // what questions are answered
  bool evaluate = false;      // evaluate the scene after the edits
  bool effectOff = false;     // switch the effect off in the render settings first
  std::string padClick;       // X,Y in the pad's pixels
  std::string padDrag;        // X0,Y0:X1,Y1[:...]
  bool padDoubleClick = false;
  std::string guiFolder;    // where the pad is written as a PNG
  std::string project;      // a project file whose values the panel starts from
  std::string saveProject;  // where the values go after the edits
};

// What an artist starts from: a document with active render settings and a camera carrying the
// tag, which inserts the effect into the render settings itself.
class PanelScene {
 public:
  PanelScene() = default;
  PanelScene(const PanelScene&) = delete;
  PanelScene& operator=(const PanelScene&) = delete;
  ~PanelScene() { BaseDocument::Free(doc_); }

  bool Build(std::string& error) {
    doc_ = BaseDocument::Alloc();
    doc_->InsertRenderData(RenderData::Alloc());
    host_state::SetActiveDocument(doc_);
    BaseObject* camera = BaseObject::Alloc(Ocamera);
    doc_->InsertObject(camera, nullptr);
    const Int32 tagType = CameraTagType();
    tag_ = tagType != 0 ? BaseTag::Alloc(tagType) : nullptr;
    if (!tag_) {
      error = "the camera tag \"OrvexTag\" could not be created (is the module loaded?)";
      return false;
    }
    camera->InsertTag(tag_);
    for (BaseVideoPost* vp = doc_->GetActiveRenderData()->GetFirstVideoPost(); vp; vp = vp->GetNext())
      if (vp->GetType() == EffectType()) effect_ = vp;
    if (!effect_) error = "creating the camera tag did not add the effect to the render settings";
    return effect_ != nullptr;
  }

  BaseList2D* Node(const std::string& which) const {
    return which == "vp" ? static_cast<BaseList2D*>(effect_) : static_cast<BaseList2D*>(tag_);
  }
  BaseList2D* Other(const std::string& which) const { return Node(which == "vp" ? "tag" : "vp"); }
  BaseDocument* Document() const { return doc_; }
  BaseVideoPost* Effect() const { return effect_; }
  BaseObject* Camera() const { return tag_ ? tag_->GetObject() : nullptr; }

 private:
  BaseDocument* doc_ = nullptr;
  BaseTag* tag_ = nullptr;
  BaseVideoPost* effect_ = nullptr;
};

// A name the shown node does not know may belong to the other node (the tag's projection decides
// which groups of the effect open, for example).
BaseList2D* OwnerOf(const PanelScene& scene, const std::string& which, const std::string& name) {
  BaseList2D* shown = scene.Node(which);
  if (attribute_manager::HasParameter(shown, name)) return shown;
  BaseList2D* other = scene.Other(which);
  if (attribute_manager::HasParameter(other, name)) return other;
  // Unknown to both: suggest names from the node the prefix points at.
  if (name.rfind("ORVEXVP_", 0) == 0) return scene.Node("vp");
  if (name.rfind("ORVEXTAG_", 0) == 0) return scene.Node("tag");
  return shown;
}

// After every change the host evaluates the scene (the event an edit posts) and the attribute
// manager redraws the panel shown: what the tags derive (the pad's dome map, the camera's stereo
// values) and what the node computes while drawing its panel are then current for the next click.
void Redraw(const PanelScene& scene, const PanelOptions& options) {
  scene.Document()->ExecutePasses(nullptr, true, true, true);
  attribute_manager::BuildPanel(scene.Node(options.node));
}

bool ApplyEdits(const PanelScene& scene, const PanelOptions& options) {
  std::string error;
  Redraw(scene, options);
  for (const std::string& assignment : options.assignments) {
    const std::string name = assignment.substr(0, assignment.find('='));
    BaseList2D* owner = OwnerOf(scene, options.node, name);
    if (!attribute_manager::IsClickable(owner, name, error) ||
        !attribute_manager::SetByName(owner, assignment, error)) {
      std::fprintf(stderr, "orvex360: %s\n", error.c_str());
      return false;
    }
    Redraw(scene, options);
  }
  for (const std::string& button : options.presses) {
    BaseList2D* owner = OwnerOf(scene, options.node, button);
    if (!attribute_manager::IsClickable(owner, button, error) ||
        !attribute_manager::PressByName(owner, button, error)) {
      std::fprintf(stderr, "orvex360: %s\n", error.c_str());
      return false;
    }
    Redraw(scene, options);
  }
  return true;
}

// What the artist set up before touching the panel: render size, the effect's switch, the answer
// to questions.
bool PrepareScene(const PanelScene& scene, const PanelOptions& options) {
  host_state::SetDialogAnswer(options.answer == "yes" ? GEMB_R_YES : GEMB_R_NO);
  if (options.effectOff) scene.Effect()->SetBit(BIT_VPDISABLED);
  if (options.renderSize.empty()) return true;
  int width = 0;
  int height = 0;
  char rest = 0;
  if (std::sscanf(options.renderSize.c_str(), "%dx%d%c", &width, &height, &rest) != 2 || width < 1 ||
      height < 1 || width > 65536 || height > 65536) {
    std::fprintf(stderr, "orvex360: --render-size takes WIDTHxHEIGHT from 1x1 to 65536x65536, not \"%s\"\n",
                 options.renderSize.c_str());
    return false;
  }
  BaseContainer& settings = *scene.Document()->GetActiveRenderData()->GetDataInstance();
  settings.SetFloat(RDATA_XRES, width);
  settings.SetFloat(RDATA_YRES, height);
  return true;
}

// The values that live outside the panel: the render settings and the camera's own settings.
void PrintSceneState(const PanelScene& scene) {
  const BaseContainer& settings = *scene.Document()->GetActiveRenderData()->GetDataInstance();
  std::printf("render settings: %g x %g, stereo %s, effect %s\n", settings.GetFloat(RDATA_XRES),
              settings.GetFloat(RDATA_YRES), settings.GetBool(RDATA_STEREO) ? "on" : "off",
              scene.Effect()->GetBit(BIT_VPDISABLED) ? "off" : "on");
  const BaseObject* camera = scene.Camera();
  if (!camera) return;
  const BaseContainer& data = *camera->GetDataInstance();
  std::printf("camera: stereo mode %d, eye separation %g, placement %d, zero parallax %g, protection %s\n",
              data.GetInt32(CAMERAOBJECT_STEREO_MODE), data.GetFloat(CAMERAOBJECT_STEREO_EYESEPARATION),
              data.GetInt32(CAMERAOBJECT_STEREO_PLACEMENT), data.GetFloat(CAMERAOBJECT_STEREO_ZERO_PARALLAX),
              camera->GetTag(Tprotection) ? "tag" : "none");
}

using Bitmaps = std::map<Int32, BitmapPtr>;

Bitmaps RequestBitmaps(BaseList2D* node, const Panel& panel) {
  Bitmaps bitmaps;
  for (const PanelItem& item : panel.items)
    if (item.element->kind == ElementKind::BitmapButton)
      bitmaps[item.element->id] = attribute_manager::RequestBitmap(node, item.element->id);
  return bitmaps;
}

const BaseBitmap* BitmapOf(const Bitmaps& bitmaps, Int32 id) {
  const auto found = bitmaps.find(id);
  return found == bitmaps.end() ? nullptr : found->second.get();
}

std::string BitmapText(const Bitmaps& bitmaps, Int32 id) {
  const BaseBitmap* bitmap = BitmapOf(bitmaps, id);
  if (!bitmap) return "no bitmap";
  if (bitmap->IsEmpty()) return "empty";
  return "bitmap " + std::to_string(bitmap->GetBw()) + "x" + std::to_string(bitmap->GetBh());
}

// The text between the label and the symbol: the value, a button's face, a group's fold state.
std::string ItemText(const PanelItem& item, const Bitmaps& bitmaps) {
  const DescriptionElement& element = *item.element;
  switch (element.kind) {
    case ElementKind::Group:
      return element.properties.GetBool(DESC_DEFAULTOPEN) ? "" : "(folded)";
    case ElementKind::Button:
      return "[ press ]";
    case ElementKind::BitmapButton:
      return "[" + BitmapText(bitmaps, element.id) + "]";
    case ElementKind::StaticText:
    case ElementKind::Separator:
      return {};
    default:
      return FormatValue(element, item.value);
  }
}

std::string ItemLabel(const PanelItem& item) {
  const DescriptionElement& element = *item.element;
  const std::string label = element.Label().GetStdString();
  const std::string indent(static_cast<size_t>(item.depth) * 4, ' ');
  if (element.kind == ElementKind::Group)
    return indent + (element.properties.GetBool(DESC_DEFAULTOPEN) ? "[-] " : "[+] ") + label;
  if (element.kind == ElementKind::Separator) return indent + "    -- " + label + " --";
  return indent + "    " + label;
}

void PrintItem(const PanelItem& item, const Bitmaps& bitmaps) {
  std::string line = ItemLabel(item);
  line.resize(std::max<size_t>(line.size() + 1, 52), ' ');
  line += ItemText(item, bitmaps);
  line.resize(std::max<size_t>(line.size() + 1, 84), ' ');
  line += item.element->symbol;
  if (!item.enabled) line += "  (disabled)";
  while (!line.empty() && line.back() == ' ') line.pop_back();
  std::printf("%s\n", line.c_str());
}

// A group laid out in columns whose members are all bitmap buttons, such as the cube preview.
bool IsBitmapGrid(const Panel& panel, size_t groupIndex) {
  const PanelItem& group = panel.items[groupIndex];
  if (group.element->kind != ElementKind::Group || group.element->properties.GetInt32(DESC_COLUMNS) < 2)
    return false;
  const DescriptionRecord& record = panel.Record();
  const Int32 self = static_cast<Int32>(group.element - record.elements.data());
  bool any = false;
  for (const PanelItem& item : panel.items) {
    if (item.element->parent != self) continue;
    if (item.element->kind != ElementKind::BitmapButton) return false;
    any = true;
  }
  return any;
}

std::vector<const PanelItem*> MembersOf(const Panel& panel, const PanelItem& group) {
  const Int32 self = static_cast<Int32>(group.element - panel.Record().elements.data());
  std::vector<const PanelItem*> members;
  for (const PanelItem& item : panel.items)
    if (item.element->parent == self) members.push_back(&item);
  return members;
}

void PrintGrid(const Panel& panel, const PanelItem& group, const Bitmaps& bitmaps) {
  const size_t columns = static_cast<size_t>(group.element->properties.GetInt32(DESC_COLUMNS));
  const std::vector<const PanelItem*> members = MembersOf(panel, group);
  const std::string indent(static_cast<size_t>(group.depth + 1) * 4, ' ');
  for (size_t start = 0; start < members.size(); start += columns) {
    std::string row = indent;
    for (size_t i = start; i < std::min(members.size(), start + columns); ++i) {
      std::string cell = "[" + BitmapText(bitmaps, members[i]->element->id) + "]";
      cell.resize(16, ' ');
      row += cell;
    }
    while (!row.empty() && row.back() == ' ') row.pop_back();
    std::printf("%s\n", row.c_str());
  }
}

void PrintPanel(BaseList2D* node, const Panel& panel, const Bitmaps& bitmaps) {
  std::printf("%s  (%s, description \"%s\")\n", node->GetName().GetCString(),
              node->GetType() == CameraTagType() ? "camera tag" : "video-post effect",
              panel.Record().resourceName.c_str());
  for (size_t i = 0; i < panel.items.size(); ++i) {
    PrintItem(panel.items[i], bitmaps);
    if (!IsBitmapGrid(panel, i)) continue;
    PrintGrid(panel, panel.items[i], bitmaps);
    i += MembersOf(panel, panel.items[i]).size();
  }
}

std::string FileNameOf(const std::string& symbol) {
  std::string name = symbol;
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name + ".png";
}

// The members of a bitmap grid side by side, as the panel lays them out; empty cells stay grey.
BitmapPtr ComposeGrid(const Panel& panel, const PanelItem& group, const Bitmaps& bitmaps) {
  constexpr Int32 kGap = 2;
  const Int32 columns = group.element->properties.GetInt32(DESC_COLUMNS);
  const std::vector<const PanelItem*> members = MembersOf(panel, group);
  const Int32 rows = (static_cast<Int32>(members.size()) + columns - 1) / columns;
  Int32 cell = 1;
  for (const PanelItem* member : members)
    if (const BaseBitmap* bitmap = BitmapOf(bitmaps, member->element->id))
      cell = std::max({cell, bitmap->GetBw(), bitmap->GetBh()});
  BitmapPtr grid(BaseBitmap::Alloc());
  // Without memory for it the grid stays empty, and saving it refuses with a message.
  if (grid->Init(columns * (cell + kGap) + kGap, rows * (cell + kGap) + kGap, 24) != IMAGERESULT_OK)
    return grid;
  for (Int32 y = 0; y < grid->GetBh(); ++y)
    for (Int32 x = 0; x < grid->GetBw(); ++x) grid->SetPixelFloat(x, y, Vector(0.12));
  for (size_t i = 0; i < members.size(); ++i) {
    const Int32 left = kGap + static_cast<Int32>(i) % columns * (cell + kGap);
    const Int32 top = kGap + static_cast<Int32>(i) / columns * (cell + kGap);
    const BaseBitmap* bitmap = BitmapOf(bitmaps, members[i]->element->id);
    for (Int32 y = 0; y < cell; ++y)
      for (Int32 x = 0; x < cell; ++x) {
        const bool inside = bitmap && x < bitmap->GetBw() && y < bitmap->GetBh();
        grid->SetPixelFloat(left + x, top + y, inside ? bitmap->GetPixelFloat(x, y) : Vector(0.25));
      }
  }
  return grid;
}

bool Save(const BaseBitmap& bitmap, const fs::path& file) {
  std::string error;
  if (!SaveBitmap(bitmap, file.string(), error)) {
    std::fprintf(stderr, "orvex360: %s\n", error.c_str());
    return false;
  }
  std::printf("wrote %s (%dx%d)\n", file.string().c_str(), bitmap.GetBw(), bitmap.GetBh());
  return true;
}

bool WriteBitmaps(const Panel& panel, const Bitmaps& bitmaps, const fs::path& folder) {
  std::error_code problem;
  fs::create_directories(folder, problem);
  if (problem) {
    std::fprintf(stderr, "orvex360: cannot create %s: %s\n", folder.string().c_str(),
                 problem.message().c_str());
    return false;
  }
  bool written = true;
  for (size_t i = 0; i < panel.items.size(); ++i) {
    const DescriptionElement& element = *panel.items[i].element;
    const BaseBitmap* bitmap = BitmapOf(bitmaps, element.id);
    if (bitmap && !bitmap->IsEmpty()) written &= Save(*bitmap, folder / FileNameOf(element.symbol));
    if (IsBitmapGrid(panel, i) && !element.symbol.empty())
      written &= Save(*ComposeGrid(panel, panel.items[i], bitmaps), folder / FileNameOf(element.symbol));
  }
  return written;
}

// "X,Y[:X,Y]..." in the pad's pixels; empty when any point is not two whole numbers.
std::vector<HostedCustomGui::Point> ParsePoints(const std::string& text) {
  std::vector<HostedCustomGui::Point> points;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find(':', start), text.size());
    int x = 0;
    int y = 0;
    char rest = 0;
    if (std::sscanf(text.substr(start, end - start).c_str(), "%d,%d%c", &x, &y, &rest) != 2) return {};
    points.push_back({x, y});
    start = end + 1;
  }
  return points;
}

bool UsesPad(const PanelOptions& options) {
  return !options.padClick.empty() || !options.padDrag.empty() || options.padDoubleClick ||
         !options.guiFolder.empty();
}

// The artist's clicks on the tag's XY pad, then a picture of the pad as they see it.
bool RunPad(const PanelScene& scene, const PanelOptions& options) {
  std::string error;
  const Int32 padId = TagParameter(tag_parameter::kStereoDirectionPad);
  if (padId == kUnknownSymbol) {
    std::fprintf(stderr, "orvex360: the loaded tag has no direction pad (see the console)\n");
    return false;
  }
  auto pad = HostedCustomGui::Open(scene.Node("tag"), padId, error);
  if (!pad) {
    std::fprintf(stderr, "orvex360: %s\n", error.c_str());
    return false;
  }
  for (const std::string* script : {&options.padClick, &options.padDrag}) {
    if (script->empty()) continue;
    const std::vector<HostedCustomGui::Point> points = ParsePoints(*script);
    if (points.empty() || (script == &options.padClick && points.size() != 1)) {
      std::fprintf(stderr, "orvex360: %s takes %s in the pad's pixels, not \"%s\"\n",
                   script == &options.padClick ? "--pad-click" : "--pad-drag",
                   script == &options.padClick ? "X,Y" : "X0,Y0:X1,Y1[:...]", script->c_str());
      return false;
    }
    if (!pad->Gesture(points, false, error)) return false;
  }
  if (options.padDoubleClick && !pad->Gesture({{0, 0}}, true, error)) return false;
  // What the tag keeps after its reaction (a double click asks it for its reset position).
  GeData kept;
  if (!scene.Node("tag")->GetParameter(DescID(padId), kept, DESCFLAGS_GET_0)) {
    error = "the tag does not give its pad value";
    return false;
  }
  const Vector value = kept.GetVector();
  std::printf("pad: (%g, %g, %g)\n", value.x, value.y, value.z);
  if (options.guiFolder.empty()) return true;
  BitmapPtr picture = pad->Snapshot();
  std::error_code problem;
  fs::create_directories(options.guiFolder, problem);
  return picture && Save(*picture, fs::path(options.guiFolder) / "orvextag_stereo_direction_pad.png");
}

// The project's render settings, tag and effect values, before anything else touches them.
bool LoadProject(const PanelScene& scene, const PanelOptions& options) {
  if (options.project.empty()) return true;
  ProjectSchemas schemas;
  project_file::Project project;
  std::string error;
  if (!schemas.Load(error) || !project_file::Load(options.project, schemas.Get(), project, error) ||
      !ApplyNodes(project, scene.Document(), scene.Camera(), error)) {
    std::fprintf(stderr, "orvex360: %s\n", error.c_str());
    return false;
  }
  return true;
}

// The panel's values with a render's defaults for the rest (demo scene, fulldome camera).
bool SaveProject(const PanelScene& scene, const PanelOptions& options) {
  if (options.saveProject.empty()) return true;
  ProjectSchemas schemas;
  project_file::Project project;
  CaptureNodes(scene.Document(), scene.Camera(), project);
  std::string error;
  if (!schemas.Load(error) || !project_file::Save(project, schemas.Get(), options.saveProject, error)) {
    std::fprintf(stderr, "orvex360: %s\n", error.c_str());
    return false;
  }
  return true;
}

int RunPanel(const PanelOptions& options) {
  PanelScene scene;
  std::string error;
  if (!scene.Build(error)) {
    std::fprintf(stderr, "orvex360: %s\n", error.c_str());
    return 1;
  }
  if (!LoadProject(scene, options) || !PrepareScene(scene, options) || !ApplyEdits(scene, options)) return 1;
  if (options.evaluate) scene.Document()->ExecutePasses(nullptr, true, true, true);
  if (UsesPad(options) && !RunPad(scene, options)) return 1;
  if (!SaveProject(scene, options)) return 1;
  BaseList2D* node = scene.Node(options.node);
  const Panel panel = attribute_manager::BuildPanel(node);
  if (!panel.loaded) {
    std::fprintf(stderr, "orvex360: %s has no panel: its description did not load (see above)\n",
                 node->GetName().GetCString());
    return 1;
  }
  const Bitmaps bitmaps = RequestBitmaps(node, panel);
  PrintPanel(node, panel, bitmaps);
  PrintSceneState(scene);
  if (options.bitmapFolder.empty()) return 0;
  return WriteBitmaps(panel, bitmaps, options.bitmapFolder) ? 0 : 1;
}
}  // namespace

CliCommand AddPanelCommand(CLI::App& parent) {
  CLI::App* panel =
      parent.add_subcommand("panel", "Show the settings panel of the camera tag or the effect as text");
  auto options = std::make_shared<PanelOptions>();
  panel->add_option("--node", options->node, "Whose panel: the camera tag or the video-post effect")
      ->check(CLI::IsMember({"tag", "vp"}))
      ->capture_default_str();
  panel
      ->add_option("--set", options->assignments,
                   "Edit NAME=VALUE first, as a click would (repeatable; angles: 90deg or radians)")
      ->allow_extra_args(false);
  panel->add_option("--press", options->presses, "Press the button NAME first (repeatable)")
      ->allow_extra_args(false);
  panel->add_option("--bitmaps", options->bitmapFolder, "Write every bitmap button as PNG into this folder");
  panel->add_option("--render-size", options->renderSize, "Render size WIDTHxHEIGHT before any edit")
      ->check(option_values::RenderSize());
  panel->add_option("--answer", options->answer, "How questions the node asks are answered")
      ->check(CLI::IsMember({"yes", "no"}))
      ->capture_default_str();
  panel->add_flag("--evaluate", options->evaluate,
                  "Evaluate the scene (the tags' expressions) after the edits");
  panel->add_option("--pad-click", options->padClick, "Click the tag's XY pad at X,Y (pad pixels)");
  panel->add_option("--pad-drag", options->padDrag,
                    "Drag on the XY pad through X0,Y0:X1,Y1[:...], then release");
  panel->add_flag("--pad-double-click", options->padDoubleClick,
                  "Double-click the XY pad (back to its default)");
  panel->add_option("--gui", options->guiFolder,
                    "Write the XY pad as the artist sees it as PNG into this folder");
  panel->add_flag("--effect-off", options->effectOff, "Switch the effect off in the render settings first");
  panel->add_option("--project", options->project,
                    "Start from a project file's render settings, tag and effect");
  panel->add_option("--save-project", options->saveProject,
                    "Write the render settings, tag and effect after the edits to a project file");
  return {panel, [options](CliContext&) { return RunPanel(*options); }};
}
