#include "comfort_rig.h"

#include "camera_kinds.h"
#include "description_symbols.h"
#include "module_nodes.h"
#include "module_parameters.h"
#include "output_metadata.h"

#include <cstdio>

bool ReadComfortRig(BaseDocument* doc, BaseObject* camera, bool editor, ComfortRig& rig,
                    std::string& reason) {
  reason = "no stereo";
  const ImageMetadata metadata = DescribeOutput(doc, camera, editor);
  const MetadataProperty* stereo = metadata.Find("orvex360", "Stereo");
  const MetadataProperty* projection = metadata.Find("orvex360", "Projection");
  if (!stereo || stereo->value == "mono" || stereo->value == "single-eye" || !projection) return false;
  const BaseTag* tag = CameraTagOf(camera);
  const BaseVideoPost* effect = FindOrvexEffect(doc);
  if (!tag || !effect) return false;
  const NamedValues data(*tag->GetDataInstance(), tag->GetType());
  rig.rigMode = data.Int32Of(tag_parameter::kStereoRig);
  rig.zeroParallax = data.Is(tag_parameter::kZeroParallaxMode, "Parallel")
                         ? 0.0
                         : data.FloatOf(tag_parameter::kZeroParallax);
  rig.separation = data.FloatOf(tag_parameter::kEyeSeparation);
  rig.camera = camera->GetMg();
  const bool swapped =
      NamedValues(*effect->GetDataInstance(), effect->GetType()).BoolOf(effect_parameter::kSwapEyes);
  const MetadataProperty* first = metadata.Find("orvex360", swapped ? "RightEye" : "LeftEye");
  const MetadataProperty* second = metadata.Find("orvex360", swapped ? "LeftEye" : "RightEye");
  rig.area = first ? first->value : "whole";
  rig.otherArea = second ? second->value : "whole";
  if (const MetadataProperty* grid = metadata.Find("orvex360", "CubemapGrid")) {
    const MetadataProperty* layout = metadata.Find("orvex360", "CubemapLayout");
    rig.facesPerEye = layout && layout->value == "single-face" ? 1 : 6;
    if (std::sscanf(grid->value.c_str(), "%dx%d", &rig.gridColumns, &rig.gridRows) != 2 ||
        rig.gridColumns < 1 || rig.gridRows < 1)
      rig.gridColumns = rig.gridRows = 1;
  }
  reason.clear();
  return true;
}
