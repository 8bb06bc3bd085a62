#include "stereo_options.h"

#include "option_checks.h"

#include "module_reading/camera_kinds.h"
#include "module_reading/choice_words.h"
#include "module_reading/module_nodes.h"
#include "module_reading/module_parameters.h"
#include "module_reading/separation_map.h"
#include "runtime/attribute_manager.h"

#include <algorithm>
#include <map>

namespace {

using Words = std::map<std::string, std::string>;

// Each word with its value's number.
template <size_t N>
Words NumberedWords(const choice_words::Choice<N>& choice) {
  Words numbered;
  for (size_t value = 0; value < N; ++value) numbered[choice.words[value].word] = std::to_string(value);
  return numbered;
}

const Words kFaces = NumberedWords(choice_words::kCubeFaces);

// One effect parameter set from a readable word (or the parameter's own number).
struct WordOption {
  const char* option;
  const char* parameter;
  Words words;
  const char* help;
};

const WordOption kWordOptions[] = {
    {"--stereo-output", effect_parameter::kStereoMode, NumberedWords(choice_words::kStereoOutputs),
     "How the two eyes make the frame"},
    {"--side-layout", effect_parameter::kSideLayout, NumberedWords(choice_words::kSideLayouts),
     "Side by side: the eyes in left and right halves or top and bottom halves"},
    {"--interlace", effect_parameter::kInterlace, NumberedWords(choice_words::kInterlaces),
     "Interlaced: which pixels show which eye"},
    {"--anaglyph-colours,--anaglyph-colors", effect_parameter::kAnaglyphColors,
     NumberedWords(choice_words::kAnaglyphColours), "Anaglyph: the glasses' colours"},
    {"--anaglyph-method", effect_parameter::kAnaglyphMethod, NumberedWords(choice_words::kAnaglyphMethods),
     "Red/cyan anaglyph: how the eyes' colours mix"},
    {"--single-eye", effect_parameter::kSingleEye, NumberedWords(choice_words::kEyes),
     "Single-eye output: the eye rendered"},
    {"--cube-layout", effect_parameter::kCubeLayout, NumberedWords(choice_words::kCubeLayouts),
     "Cubemap: how the six faces are laid out"},
    {"--cube-face", effect_parameter::kCubeFace, kFaces, "Cubemap single-face layout: the face rendered"},
    {"--cube-faces",
     effect_parameter::kCubeVideoFaces,
     {{"renderer", "0"}, {"video", "1"}},
     "Cubemap strip and grid layouts: the up and down faces as the renderer turns them, or as the cubemaps "
     "of 360 video do (grid-3x2 with the default slots is then the standard 3x2 cubemap; its videos say "
     "cubemap)"},
};

// Effect parameters that take a number as it is written.
struct NumberOption {
  const char* option;
  const char* parameter;
  const char* help;
};

const NumberOption kNumberOptions[] = {
    {"--anaglyph-gamma", effect_parameter::kAnaglyphGamma,
     "Optimized anaglyph: gamma of the red channel (above 1 brightens)"},
    {"--eye-shift", effect_parameter::kEyeShift, "Pixels the two eyes' images are shifted apart"},
    {"--cross-start", effect_parameter::kCubeCrossStart,
     "Cross layouts: where the front face sits along the long arm (0-3)"},
};

const Words kFlips = {{"left-horizontal", effect_parameter::kLeftFlipU},
                      {"left-vertical", effect_parameter::kLeftFlipV},
                      {"right-horizontal", effect_parameter::kRightFlipU},
                      {"right-vertical", effect_parameter::kRightFlipV}};

void AddWordOption(CLI::App& render, const WordOption& word, const std::shared_ptr<StereoOptions>& options) {
  const std::string parameter = word.parameter;
  render
      .add_option_function<std::string>(
          word.option,
          [options, parameter](const std::string& value) {
            options->effectValues.emplace_back(parameter, value);
          },
          word.help)
      ->transform(CLI::CheckedTransformer(word.words, CLI::ignore_case));
}

void AddNumberOption(CLI::App& render, const NumberOption& number,
                     const std::shared_ptr<StereoOptions>& options) {
  const std::string parameter = number.parameter;
  render.add_option_function<std::string>(
      number.option,
      [options, parameter](const std::string& value) {
        options->effectValues.emplace_back(parameter, value);
      },
      number.help);
}

void AddListOptions(CLI::App& render, const std::shared_ptr<StereoOptions>& options) {
  render
      .add_option_function<std::vector<std::string>>(
          "--flip",
          [options](const std::vector<std::string>& flips) {
            for (const std::string& flip : flips) options->effectValues.emplace_back(kFlips.at(flip), "1");
          },
          "Side by side: mirror an eye; repeatable or comma separated")
      ->delimiter(',')
      ->transform(CLI::IsMember(kFlips, CLI::ignore_case));
  render
      .add_option_function<std::vector<std::string>>(
          "--cube-slots",
          [options](const std::vector<std::string>& faces) {
            for (size_t slot = 0; slot < faces.size(); ++slot)
              options->effectValues.emplace_back(effect_parameter::kCubeSlotPrefix + std::to_string(slot + 1),
                                                 faces[slot]);
          },
          "Strip and grid layouts: the six faces in slot order, e.g. right,left,up,down,front,back")
      ->delimiter(',')
      ->expected(6)
      ->transform(CLI::CheckedTransformer(kFaces, CLI::ignore_case));
}

void AddSeparationOptions(CLI::App& render, const std::shared_ptr<StereoOptions>& options) {
  CLI::Option* image = render
                           .add_option("--separation-map", options->separationMap,
                                       "Image whose red channel scales the eye separation per direction "
                                       "(panorama map, or the dome map of a fulldome)")
                           ->check(NotEmpty());
  render
      .add_flag("--separation-gradient", options->separationGradient,
                "Fade the eye separation toward the poles: 0 straight up and down, full at the horizon")
      ->excludes(image);
}

bool ApplyEffectValues(const StereoOptions& options, BaseDocument* doc, std::string& error) {
  if (options.effectValues.empty()) return true;
  BaseVideoPost* effect = FindOrvexEffect(doc);
  if (!effect) {
    error = "the stereo and cubemap options need a camera with an Orvex360Cam tag (not --camera plain)";
    return false;
  }
  for (const auto& [parameter, value] : options.effectValues)
    if (!attribute_manager::SetByName(effect, parameter + "=" + value, error)) return false;
  return true;
}

bool LinkSeparationMap(const StereoOptions& options, BaseObject* camera, std::string& error) {
  if (options.separationMap.empty() && !options.separationGradient) return true;
  BaseTag* tag = CameraTagOf(camera);
  if (!tag) {
    error = "a separation map needs a camera with an Orvex360Cam tag (not --camera plain)";
    return false;
  }
  BaseShader* shader = options.separationGradient ? separation_map::MakePoleFade()
                                                  : separation_map::MakeImage(options.separationMap, error);
  if (!shader) {
    if (error.empty()) error = "cannot create the separation map's shader";
    return false;
  }
  return separation_map::Link(*tag, shader, error);
}

// The option that sets `parameter`, by its first name.
std::string OptionOf(const std::string& parameter) {
  const auto firstName = [](const char* names) {
    return std::string(names).substr(0, std::string(names).find(','));
  };
  for (const WordOption& word : kWordOptions)
    if (parameter == word.parameter) return firstName(word.option);
  for (const NumberOption& number : kNumberOptions)
    if (parameter == number.parameter) return firstName(number.option);
  for (const auto& [flip, flipParameter] : kFlips)
    if (parameter == flipParameter) return "--flip";
  if (parameter.rfind(effect_parameter::kCubeSlotPrefix, 0) == 0) return "--cube-slots";
  return "--swap-eyes";
}

bool IsCubeParameter(const std::string& parameter) {
  return parameter.rfind(effect_parameter::kCubePrefix, 0) == 0;
}

// The options given for the cube (`cube`) or for stereo, ", "-joined, each named once.
std::string GivenOptions(const StereoOptions& options, bool cube) {
  std::vector<std::string> names;
  const auto add = [&names](const std::string& name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  };
  for (const auto& [parameter, value] : options.effectValues)
    if (IsCubeParameter(parameter) == cube) add(OptionOf(parameter));
  if (!cube && !options.separationMap.empty()) add("--separation-map");
  if (!cube && options.separationGradient) add("--separation-gradient");
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
  return joined;
}

}  // namespace

std::string StereoOnlyOptions(const StereoOptions& options) { return GivenOptions(options, false); }

std::string CubeOnlyOptions(const StereoOptions& options) { return GivenOptions(options, true); }

void AddStereoOptions(CLI::App& render, const std::shared_ptr<StereoOptions>& options) {
  for (const WordOption& word : kWordOptions) AddWordOption(render, word, options);
  for (const NumberOption& number : kNumberOptions) AddNumberOption(render, number, options);
  AddListOptions(render, options);
  render.add_flag_callback(
      "--swap-eyes", [options] { options->effectValues.emplace_back(effect_parameter::kSwapEyes, "1"); },
      "Swap the left and right eye");
  AddSeparationOptions(render, options);
}

bool ApplyStereoOptions(const StereoOptions& options, BaseDocument* doc, BaseObject* camera,
                        std::string& error) {
  return ApplyEffectValues(options, doc, error) && LinkSeparationMap(options, camera, error);
}
