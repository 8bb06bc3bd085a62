#include "render_project.h"

#include "module_reading/camera_kinds.h"
#include "module_reading/module_nodes.h"
#include "module_reading/module_parameters.h"
#include "render_settings_record.h"

namespace {

bool ApplyTo(const std::optional<value_json::NodeValues>& values, BaseList2D* node, const char* what,
             std::string& error) {
  if (!values) return true;
  if (!node) {
    error = std::string("the project holds values for the ") + what + ", which this render does not have";
    return false;
  }
  return value_json::Apply(*values, *node, error);
}

}  // namespace

ProjectSchemas::ProjectSchemas()
    : tag_(std::make_unique<Description>()), effect_(std::make_unique<Description>()) {}
ProjectSchemas::~ProjectSchemas() = default;

bool ProjectSchemas::Load(std::string& error) {
  if (tag_->LoadDescription(CameraTagType()) && effect_->LoadDescription(EffectType())) return true;
  error = "the descriptions of the camera tag and the effect did not load (is the module loaded?)";
  return false;
}

project_file::Schemas ProjectSchemas::Get() const {
  return {RenderSettingsRecord(), tag_->GetRecord(), effect_->GetRecord()};
}

void CaptureNodes(BaseDocument* doc, BaseObject* camera, project_file::Project& project) {
  project.renderSettings = value_json::Capture(*doc->GetActiveRenderData());
  project.tag.reset();
  project.effect.reset();
  if (const BaseTag* tag = CameraTagOf(camera)) {
    project.tag = value_json::Capture(*tag);
    // The tag's stereo switch is the render settings' one, written there once; its container holds
    // only the value Init left.
    project.tag->values.RemoveData(TagParameter(tag_parameter::kStereo));
  }
  if (const BaseVideoPost* effect = FindOrvexEffect(doc)) project.effect = value_json::Capture(*effect);
}

bool ApplyNodes(const project_file::Project& project, BaseDocument* doc, BaseObject* camera,
                std::string& error) {
  return value_json::Apply(project.renderSettings, *doc->GetActiveRenderData(), error) &&
         ApplyTo(project.tag, CameraTagOf(camera), "camera tag", error) &&
         ApplyTo(project.effect, FindOrvexEffect(doc), "effect", error);
}
