#include "runtime/description_file.h"
#include "orvex360camvp/orvex360camvp_params.h"
#include "orvextag/orvextag_params.h"

#include <gtest/gtest.h>

#include <numbers>

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

TEST(DescriptionFile, ReadsKindsNestingAndProperties) {
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
}

TEST(DescriptionFile, FindsSymbolsWithOrWithoutPrefixIgnoringCase) {
  std::string error;
  const DescriptionRecord record = Parse(kSample, error);
  EXPECT_EQ(record.FindSymbol("S_ANGLE"), record.Find(13));
  EXPECT_EQ(record.FindSymbol("angle"), record.Find(13));
  EXPECT_EQ(record.FindSymbol("ANGL"), nullptr);
  EXPECT_EQ(record.NearestSymbols("ANGL", 1).front(), "S_ANGLE");
  EXPECT_EQ(record.NearestSymbols("PA", 1).front(), "S_PAD");  // contained names come first
}

TEST(DescriptionFile, ASyntaxErrorNamesTheFileAndLine) {
  std::string error;
  Parse(
      "{\n  \"elements\": [\n    {\"type\": \"bool\", \"id\": 1, \"name\": \"A\"},\n    {\"type\" "
      "\"bool\"}\n  ]\n}",
      error);
  EXPECT_NE(error.find("sample.json, line 4"), std::string::npos) << error;
}

TEST(DescriptionFile, MistakesInElementsNameTheElement) {
  EXPECT_NE(ErrorOf(R"({"type": "float", "id": 1, "name": "A", "cycle": ["x"]})")
                .find("element \"A\": key \"cycle\""),
            std::string::npos);
  EXPECT_NE(ErrorOf(R"({"type": "bool", "id": 1, "name": "A"}, {"type": "bool", "id": 1, "name": "B"})")
                .find("ID 1 is used twice"),
            std::string::npos);
  EXPECT_NE(ErrorOf(R"({"type": "bool", "name": "A"})").find("has no \"id\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"type": "checkbox", "id": 1, "name": "A"})").find("unknown type"), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"type": "int", "id": 1, "name": "A", "min": 5, "max": 1})").find("above"),
            std::string::npos);
  EXPECT_NE(ErrorOf(R"({"type": "int", "id": 1, "name": "A", "cycle": [[0, "a"], [0, "b"]]})").find("twice"),
            std::string::npos);
}

// The module's own files: every parameter of both nodes, of the kind it holds.
TEST(ModuleDescriptions, HoldEveryParameterOfTheEffect) {
  DescriptionRecord record;
  std::string error;
  ASSERT_TRUE(ReadDescriptionFile(ORVEX_SOURCE_DIR "/res/description/Orvex360Cam.json", record, error))
      << error;
  for (Int32 id : {1000, 1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018, 1019, 1020, 1023, 1024})
    EXPECT_NE(record.Find(id), nullptr) << id;
  for (Int32 id = ORVEXVP_HIDDEN; id <= ORVEXVP_CUBE_PREVIEW_LAST; ++id)
    EXPECT_NE(record.Find(id), nullptr) << id;
  for (Int32 id = ORVEXVP_CUBE_PREVIEW; id <= ORVEXVP_CUBE_PREVIEW_LAST; ++id)
    EXPECT_EQ(record.Find(id)->kind, ElementKind::BitmapButton) << id;
  const DescriptionElement& grid = record.elements[record.Find(ORVEXVP_CUBE_PREVIEW)->parent];
  EXPECT_EQ(grid.properties.GetInt32(DESC_COLUMNS), 6);
  EXPECT_EQ(record.Find(ORVEXVP_CUBE_LAYOUT)->properties.GetContainer(DESC_CYCLE).GetCount(), 7);
  EXPECT_TRUE(record.Find(ORVEXVP_HIDDEN)->IsHidden());
}

TEST(ModuleDescriptions, HoldEveryParameterOfTheTagWithAnglesInDegrees) {
  DescriptionRecord record;
  std::string error;
  ASSERT_TRUE(ReadDescriptionFile(ORVEX_SOURCE_DIR "/res/description/OrvexTag.json", record, error)) << error;
  for (Int32 id = ORVEXTAG_ENABLE; id <= ORVEXTAG_CUBEMAP_FACE; ++id) {
    const bool unused = id == 1002 || id == 1023 || id == 1039 || id == 1051;
    EXPECT_EQ(record.Find(id) != nullptr, !unused) << id;
  }
  for (Int32 id : {ORVEXTAG_FISHEYE_FOV, ORVEXTAG_EQUIRECT_HSPAN, ORVEXTAG_EQUIRECT_VSPAN,
                   ORVEXTAG_EQUIRECT_LAT_MIN, ORVEXTAG_EQUIRECT_LAT_MAX, ORVEXTAG_CYL_HFOV,
                   ORVEXTAG_STEREO_DIRECTION_LAT, ORVEXTAG_STEREO_DIRECTION_LON})
    EXPECT_EQ(record.Find(id)->properties.GetInt32(DESC_UNIT), DESC_UNIT_DEGREE) << id;
  EXPECT_EQ(record.Find(ORVEXTAG_STEREO_DIRECTION_PAD)->customGui, "XYPAD");
  EXPECT_EQ(record.Find(ORVEXTAG_SEPARATION_MAP_SHADER)->kind, ElementKind::ShaderLink);
  EXPECT_TRUE(record.Find(ORVEXTAG_HIDDEN)->IsHidden());
}
