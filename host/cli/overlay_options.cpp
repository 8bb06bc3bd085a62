#include "overlay_options.h"

#include "module_reading/camera_kinds.h"
#include "module_reading/description_symbols.h"
#include "module_reading/module_nodes.h"
#include "module_reading/module_parameters.h"

#include <memory>

namespace {

// The switches of the overlay elements; the logo's mode is set apart.
constexpr const char* kElementSwitches[] = {effect_parameter::kOverlay, effect_parameter::kShowInfo,
                                            effect_parameter::kShowTime, effect_parameter::kShowFrame,
                                            effect_parameter::kShowText};
constexpr const char* kLogoMode = effect_parameter::kLogoMode;

struct FreeEffect {
  void operator()(BaseVideoPost* node) const { BaseVideoPost::Free(node); }
};

bool SetValue(BaseVideoPost& effect, const char* name, const GeData& value, std::string& error) {
  const Int32 id = EffectParameter(name);
  if (id == kUnknownSymbol) {
    error = std::string("--overlays: the effect has no parameter ") + name;
    return false;
  }
  effect.SetParameter(DescID(id), value, DESCFLAGS_SET_0);
  return true;
}

// Every switch and the logo's mode as a new effect starts with them.
bool UseDefaults(BaseVideoPost& effect, std::string& error) {
  const std::unique_ptr<BaseVideoPost, FreeEffect> fresh(BaseVideoPost::Alloc(EffectType()));
  if (!fresh) {
    error = "--overlays: cannot make an effect to read its defaults from";
    return false;
  }
  for (const char* name : kElementSwitches)
    if (!SetValue(effect, name, GeData(fresh->GetDataInstance()->GetBool(EffectParameter(name))), error))
      return false;
  return SetValue(effect, kLogoMode, GeData(fresh->GetDataInstance()->GetInt32(EffectParameter(kLogoMode))),
                  error);
}

// Every switch on; a logo switched off comes back as the built-in one, a chosen logo file stays.
bool UseAll(BaseVideoPost& effect, std::string& error) {
  for (const char* name : kElementSwitches)
    if (!SetValue(effect, name, GeData(true), error)) return false;
  const Int32 none = CycleValue(EffectType(), kLogoMode, "None");
  const Int32 builtIn = CycleValue(EffectType(), kLogoMode, "Built-in logo");
  if (effect.GetDataInstance()->GetInt32(EffectParameter(kLogoMode)) != none) return true;
  return SetValue(effect, kLogoMode, GeData(builtIn), error);
}

}  // namespace

void AddOverlayOption(CLI::App& render, std::string& choice) {
  render
      .add_option("--overlays", choice,
                  "Fulldome overlay elements: default (the effect's: logo and title), all (credits, render "
                  "information, timecode, frame number, logo and title) or none (default: as the effect or "
                  "project holds them)")
      ->check(CLI::IsMember({"all", "default", "none"}));
}

bool ApplyOverlayChoice(const std::string& choice, BaseDocument* doc, std::string& error) {
  if (choice.empty()) return true;
  BaseVideoPost* effect = FindOrvexEffect(doc);
  if (!effect) {
    error = "--overlays: the document has no Orvex360Cam effect";
    return false;
  }
  if (choice == "none") return SetValue(*effect, effect_parameter::kOverlay, GeData(false), error);
  return choice == "all" ? UseAll(*effect, error) : UseDefaults(*effect, error);
}
