#include "render_settings_record.h"

#include "runtime/description_values.h"

#include <cmath>

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

bool CheckRenderSetting(Int32 id, const GeData& value, std::string& error) {
  const DescriptionElement* element = RenderSettingsRecord().Find(id);
  if (!element) return true;
  if (!CheckLimits(*element, value, error)) return false;
  const bool whole = value.GetType() != DA_REAL || value.GetFloat() == std::floor(value.GetFloat());
  for (const RenderSettingName& setting : kRenderSettingNames)
    if (setting.id == id && setting.whole && !whole) {
      error =
          std::string(setting.name) + " takes a whole number of pixels; got " + ExactNumber(value.GetFloat());
      return false;
    }
  return true;
}
