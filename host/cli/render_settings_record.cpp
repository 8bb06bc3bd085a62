#include "render_settings_record.h"

const DescriptionRecord& RenderSettingsRecord() {
  static const DescriptionRecord record = [] {
    DescriptionRecord made;
    made.resourceName = "render settings";
    for (const RenderSettingName& setting : kRenderSettingNames) {
      DescriptionElement element;
      element.id = setting.id;
      element.symbol = setting.name;
      element.kind = setting.kind;
      element.properties.SetString(DESC_NAME, String(setting.name));
      if (setting.kind != ElementKind::Bool) {
        element.properties.SetFloat(DESC_MIN, setting.min);
        element.properties.SetFloat(DESC_MAX, setting.max);
      }
      made.elements.push_back(element);
    }
    return made;
  }();
  return record;
}
