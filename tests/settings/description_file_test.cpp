#include "runtime/description_file.h"
#include "linked_module.h"
#include "module_reading/camera_kinds.h"
#include "module_reading/choice_words.h"
#include "module_reading/description_symbols.h"
#include "module_reading/module_nodes.h"
#include "module_reading/module_parameters.h"
#include "orvex360camvp/orvex360camvp.h"
#include "orvexcreate/camera_presets.h"
#include "orvextag/orvextag.h"
#include "runtime/console.h"
#include "settings/orvex360camvp_params.h"
#include "settings/orvextag_params.h"

#include <gtest/gtest.h>

#include <map>
#include <numbers>
#include <set>

namespace {
constexpr const char* kSample = R"({
  "description": "Sample",
  "elements": [
    {"type": "group", "id": 10, "name": "S_GROUP", "label": "Group", "open": false, "columns": 2, "elements": [
      {"type": "int", "id": 11, "name": "S_MODE", "label": "Mode", "short": "M", "cycle": ["Off", "On"]},
      {"type": "int", "id": 12, "name": "S_KIND", "cycle": [[0, "None"], [1035137, "Panorama"]]},
      {"type": "float", "id": 13, "name": "S_ANGLE", "label": "Angle", "unit": "degrees", "min": -90, "max": 90}
    ]},
    {"type": "group", "label": "Layout only", "elements": [
      {"type": "vector", "id": 14, "name": "S_PAD", "gui": "XYPAD"},
      {"type": "separator"}
    ]},
    {"type": "static", "id": 15, "name": "S_NOTE", "label": "Note", "hidden": true}
  ]
})";

DescriptionRecord Parse(const std::string& text, std::string& error) {
  DescriptionRecord record;
  ParseDescriptionText(text, "sample.json", record, error);
  return record;
}

std::string ErrorOf(const std::string& elements) {
  std::string error;
  Parse(R"({"elements": [)" + elements + "]}", error);
  return error;
}
}  // namespace

TEST(DescriptionFile, ReadsKindsNestingPropertiesAndSymbols) {
  std::string error;
  const DescriptionRecord record = Parse(kSample, error);
  ASSERT_TRUE(error.empty()) << error;
  ASSERT_EQ(record.elements.size(), 8u);

  const DescriptionElement& group = *record.Find(10);
  EXPECT_EQ(group.kind, ElementKind::Group);
  EXPECT_FALSE(group.properties.GetBool(DESC_DEFAULTOPEN, true));
  EXPECT_EQ(group.properties.GetInt32(DESC_COLUMNS), 2);

  const DescriptionElement& mode = *record.Find(11);
  EXPECT_EQ(mode.parent, 0);
  EXPECT_EQ(mode.properties.GetInt32(DESC_PARENTGROUP), 10);
  EXPECT_EQ(mode.properties.GetString(DESC_NAME), String("Mode"));
  EXPECT_EQ(mode.Label(), String("M"));
  EXPECT_EQ(mode.properties.GetContainer(DESC_CYCLE).GetString(1), String("On"));
  EXPECT_EQ(record.Find(12)->properties.GetContainer(DESC_CYCLE).GetString(1035137), String("Panorama"));

  const DescriptionElement& angle = *record.Find(13);
  EXPECT_EQ(angle.properties.GetInt32(DESC_UNIT), DESC_UNIT_DEGREE);
  EXPECT_DOUBLE_EQ(angle.properties.GetFloat(DESC_MIN), -std::numbers::pi / 2.0);

  const DescriptionElement& pad = *record.Find(14);
  EXPECT_EQ(pad.customGui, "XYPAD");
  EXPECT_EQ(pad.properties.GetInt32(DESC_PARENTGROUP), 0);  // a layout-only group has no ID
  EXPECT_TRUE(record.Find(15)->IsHidden());
  EXPECT_FALSE(record.IsShown(*record.Find(15)));
  // Symbols are found with or without their prefix, whatever the case.
  EXPECT_EQ(record.FindSymbol("S_ANGLE"), record.Find(13));
  EXPECT_EQ(record.FindSymbol("angle"), record.Find(13));
  EXPECT_EQ(record.FindSymbol("ANGL"), nullptr);
  EXPECT_EQ(record.NearestSymbols("ANGL", 1).front(), "S_ANGLE");
  EXPECT_EQ(record.NearestSymbols("PA", 1).front(), "S_PAD");  // contained names come first
}

// A syntax error's file and line are checked on a broken module description in tests/module.
TEST(DescriptionFile, MistakesInElementsNameTheElement) {
  const std::pair<const char*, const char*> cases[] = {
      {R"({"type": "float", "id": 1, "name": "A", "cycle": ["x"]})", "element \"A\": key \"cycle\""},
      {R"({"type": "bool", "id": 1, "name": "A"}, {"type": "bool", "id": 1, "name": "B"})",
       "ID 1 is used twice"},
      {R"({"type": "bool", "name": "A"})", "has no \"id\""},
      {R"({"type": "checkbox", "id": 1, "name": "A"})", "unknown type"},
      {R"({"type": "int", "id": 1, "name": "A", "min": 5, "max": 1})", "above"},
      {R"({"type": "int", "id": 1, "name": "A", "cycle": [[0, "a"], [0, "b"]]})", "twice"},
  };
  for (const auto& [elements, message] : cases)
    EXPECT_NE(ErrorOf(elements).find(message), std::string::npos) << elements;
  // Groups nested deep enough to exhaust the stack are refused before they are read.
  std::string deep;
  for (int i = 0; i < 20000; ++i) deep += R"({"type": "group", "elements": [)";
  for (int i = 0; i < 20000; ++i) deep += "]}";
  EXPECT_NE(ErrorOf(deep).find("sample.json: nested deeper than 64 levels"), std::string::npos);
  // A number beyond a double's range is a refusal, not an exception out of the reader.
  EXPECT_NE(ErrorOf(R"({"type": "float", "id": 1, "name": "A", "min": 1E036687})").find("sample.json: "),
            std::string::npos);
}

// The module's own files against the nodes: every element declares the type its node holds.
namespace {
using ModuleDescriptions = LinkedModuleTest;

// The value type a kind of element holds (nil: holds none). Bools are stored as integers.
Int32 HeldType(ElementKind kind) {
  static const std::map<ElementKind, Int32> held = {{ElementKind::Bool, DA_LONG},
                                                    {ElementKind::Int32, DA_LONG},
                                                    {ElementKind::Float, DA_REAL},
                                                    {ElementKind::Vector, DA_VECTOR},
                                                    {ElementKind::String, DA_STRING},
                                                    {ElementKind::Filename, DA_FILENAME},
                                                    {ElementKind::ShaderLink, DA_ALIASLINK},
                                                    {ElementKind::BitmapButton, CUSTOMDATATYPE_BITMAPBUTTON}};
  return held.count(kind) ? held.at(kind) : DA_NIL;
}

DescriptionRecord ReadModuleDescription(const char* name) {
  DescriptionRecord record;
  std::string error;
  EXPECT_TRUE(ReadDescriptionFile(std::string(ORVEX_SOURCE_DIR "/res/description/") + name, record, error))
      << error;
  return record;  // empty when it does not read
}

// Compares each element's declared kind with the value `node` gives for it after Init. Integers
// without a list of choices must be `plainIntegers`, so a bool declared as an integer (or back) shows;
// the IDs that hold nothing yet are returned.
std::set<Int32> ExpectDeclaredTypes(BaseList2D* node, const DescriptionRecord& record,
                                    const std::set<Int32>& plainIntegers) {
  const BaseContainer& data = *node->GetDataInstance();
  for (Int32 index = 0; index < data.GetCount(); ++index) {
    const Int32 id = data.GetIndexId(index);
    const DescriptionElement* element = record.Find(id);
    EXPECT_NE(element, nullptr) << "no element for the stored value " << id;
    if (element) {
      EXPECT_EQ(HeldType(element->kind), data.GetDataPointer(id)->GetType()) << element->symbol;
    }
  }
  std::set<Int32> empty;
  for (const DescriptionElement& element : record.elements) {
    GeData value;
    static_cast<void>(node->GetParameter(DescID(element.id), value, DESCFLAGS_GET_0));  // refused: stays nil
    if (HeldType(element.kind) == DA_NIL) {  // buttons, texts and groups: the node gives them nothing
      EXPECT_TRUE(value.IsNil()) << element.symbol << " is declared without a value but holds one";
      continue;
    }
    if (value.IsNil()) {
      empty.insert(element.id);
      continue;
    }
    EXPECT_EQ(value.GetType(), HeldType(element.kind)) << element.symbol;
    const bool plain = plainIntegers.count(element.id) > 0;
    if (element.kind == ElementKind::Bool) {
      EXPECT_TRUE(value.GetInt32() == 0 || value.GetInt32() == 1) << element.symbol;
    }
    if (element.kind == ElementKind::Int32 && element.IsCycle()) {
      EXPECT_TRUE(element.properties.GetContainer(DESC_CYCLE).GetDataPointer(value.GetInt32()))
          << element.symbol << " holds " << value.GetInt32() << ", not a listed choice";
    }
    EXPECT_EQ(element.kind == ElementKind::Int32 && !element.IsCycle(), plain) << element.symbol;
  }
  return empty;
}
}  // namespace

TEST_F(ModuleDescriptions, TheEffectsElementsDeclareTheTypesItHolds) {
  scene->AddTaggedCamera();
  const DescriptionRecord record = ReadModuleDescription("Orvex360Cam.json");
  ASSERT_FALSE(record.elements.empty());
  const std::set<Int32> empty = ExpectDeclaredTypes(
      scene->Effect(), record, {ORVEXVP_EYE_SHIFT, ORVEXVP_CUBE_CROSS_START, ORVEXVP_CHOICE});
  EXPECT_EQ(empty, std::set<Int32>{});  // the preview cells hold bitmap-button values, so they are buttons
  // The grid's six columns and the hidden element are read from the panel command's rows.
  EXPECT_EQ(record.Find(ORVEXVP_CUBE_LAYOUT)->properties.GetContainer(DESC_CYCLE).GetCount(), 7);
}

// Its angles showing in degrees is read from the panel command's rows (tests/tag/data/commands.tsv).
TEST_F(ModuleDescriptions, TheTagsElementsDeclareTheTypesItHolds) {
  // Besides Init, the module's own writers: a create command's preset, and scene evaluation (the
  // aspect values, the vertical span and the protection switch).
  BaseTag* tag = scene->AddTaggedCamera();
  ApplyPreset(*FindCameraPreset(1035137), *tag->GetObject(), *tag);
  tag->GetObject()->InsertTag(BaseTag::Alloc(Tprotection));
  scene->doc->ExecutePasses(nullptr, true, true, true);
  const DescriptionRecord record = ReadModuleDescription("OrvexTag.json");
  ASSERT_FALSE(record.elements.empty());
  const std::set<Int32> empty = ExpectDeclaredTypes(tag, record, {ORVEXTAG_VP_CHOICE});
  EXPECT_EQ(empty, std::set<Int32>{});
  EXPECT_TRUE(record.Find(ORVEXTAG_HIDDEN)->IsHidden());
}

using ModuleNodes = LinkedModuleTest;

// The host learns the module's numbers from its registrations and descriptions, as the module has them.
TEST_F(ModuleNodes, TypesParametersAndChoicesComeFromTheRegisteredDescriptions) {
  EXPECT_EQ(CameraTagType(), ID_ORVEXTAG);
  EXPECT_EQ(EffectType(), ID_ORVEX360CAMVP);
  EXPECT_EQ(TagParameter("ORVEXTAG_PROJECTION"), ORVEXTAG_PROJECTION);
  EXPECT_EQ(EffectParameter("ORVEXVP_CUBE_SLOT3"), ORVEXVP_CUBE_SLOT3);
  EXPECT_EQ(CycleValue(CameraTagType(), "ORVEXTAG_PROJECTION", "Cubemap"), ORVEXTAG_PROJECTION_CUBEMAP);
  EXPECT_EQ(CycleValue(EffectType(), "ORVEXVP_STEREO_MODE", "Single eye"), ORVEXVP_STEREO_MODE_SINGLE_EYE);
}

TEST_F(ModuleNodes, WhatTheModuleLacksIsRefusedWithItsName) {
  console::Clear();
  EXPECT_EQ(TagParameter("ORVEXTAG_NO_SUCH"), kUnknownSymbol);
  EXPECT_TRUE(ConsoleHas("\"OrvexTag\" has no parameter ORVEXTAG_NO_SUCH"));
  EXPECT_EQ(CycleValue(CameraTagType(), "ORVEXTAG_PROJECTION", "Octahedron"), kUnknownSymbol);
  EXPECT_TRUE(ConsoleHas("has no entry \"Octahedron\""));
  EXPECT_EQ(RegisteredNodeType("NoSuchDescription"), 0);
}

// The host's words for the effect's choices stand in the order of the values the description gives
// their labels, one word for every entry: a reordered, renamed or added entry fails here first.
TEST_F(ModuleNodes, TheHostsChoiceWordsFollowTheEffectsDescription) {
  const DescriptionRecord record = ReadModuleDescription("Orvex360Cam.json");
  for (const choice_words::AnyChoice& choice : choice_words::kAllChoices) {
    SCOPED_TRACE(choice.symbol);
    const DescriptionElement* element = record.FindSymbol(choice.symbol);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->properties.GetContainer(DESC_CYCLE).GetCount(),
              static_cast<Int32>(choice.words.size()));
    for (size_t value = 0; value < choice.words.size(); ++value)
      EXPECT_EQ(CycleValue(EffectType(), choice.symbol, choice.words[value].label), static_cast<Int32>(value))
          << choice.words[value].word;
  }
}

// The camera kinds reach the module's create commands, and the pad its parameter, by the tag's
// description alone.
TEST_F(ModuleNodes, CameraKindsAndThePadAreFoundByTheTagsDescription) {
  std::set<Int32> commands;
  for (const CameraKindInfo& kind : CameraKinds()) {
    SCOPED_TRACE(kind.name);
    const Int32 command = CreateCommandOf(kind);
    if (kind.kind == CameraKind::Plain) {
      EXPECT_EQ(command, 0);
      continue;
    }
    EXPECT_NE(FindCameraPreset(command), nullptr);
    if (kind.kind != CameraKind::CubeFace) commands.insert(command);
  }
  EXPECT_EQ(commands.size(), CameraPresets().size());
  EXPECT_EQ(TagParameter(tag_parameter::kStereoDirectionPad), ORVEXTAG_STEREO_DIRECTION_PAD);
}
