#include "runtime/description_values.h"
#include "runtime/description_file.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string_view>
#include <tuple>

namespace {
class DescriptionValues : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(ParseDescriptionText(R"({"elements": [
      {"type": "bool", "id": 1, "name": "V_ON"},
      {"type": "int", "id": 2, "name": "V_MODE", "cycle": ["Anaglyph", "Side by side", "Single eye"]},
      {"type": "int", "id": 3, "name": "V_SHIFT", "min": -10, "max": 10},
      {"type": "float", "id": 4, "name": "V_FOV", "unit": "degrees", "min": 1, "max": 360},
      {"type": "float", "id": 5, "name": "V_SEPARATION", "unit": "length", "min": 0},
      {"type": "vector", "id": 6, "name": "V_PAD"},
      {"type": "string", "id": 7, "name": "V_TEXT"},
      {"type": "button", "id": 8, "name": "V_FIT"},
      {"type": "float", "id": 9, "name": "V_LATITUDE", "unit": "degrees", "min": -90, "max": 90}
    ]})",
                                     "values.json", record, error))
        << error;
  }

  std::string Show(Int32 id, const GeData& value) { return FormatValue(*record.Find(id), value); }

  DescriptionRecord record;
};
}  // namespace

// Each text is read as its element takes it and shown back, or refused with what the element takes:
// angles in degrees with the suffix and radians without, lengths in centimetres, a choice's number
// or label, on or off, integers within their limits, vectors of three.
TEST_F(DescriptionValues, TextsReadAsTheirElementTakesThemOrAreRefusedWithWhatItTakes) {
  constexpr std::string_view kRefused = "refused: ";
  const std::tuple<Int32, const char*, std::string_view> rows[] = {
      {4, "90deg", "90 deg"},
      {4, " 315 DEG ", "315 deg"},
      {4, "1.5", "85.9437 deg"},
      {4, "400deg", "refused: 1 deg to 360 deg"},
      {4, "", "refused: "},
      {5, "2deg", "refused: "},
      {5, "6.5cm", "6.5 cm"},
      {2, "2", "Single eye (2)"},
      {2, "single EYE", "Single eye (2)"},
      {2, "7", "refused: V_MODE"},
      {2, "7", "refused: 0 Anaglyph, 1 Side by side, 2 Single eye"},
      {1, "maybe", "refused: on or off"},
      {1, "yes", "on"},
      {1, "off", "off"},
      {3, "1.5", "refused: "},
      {3, "11", "refused: -10 to 10"},
      {3, "-10", "-10"},
      {6, "(0.2, 0.3, 1)", "(0.2, 0.3, 1)"},
      {6, "1,2", "refused: "},
      {6, "1,2,3,4", "refused: "},
      {8, "1", "refused: holds no value"},
      // A limit is met by what equals it in single precision: pi/2 as a float is a hair above 90 degrees.
      {9, "1.5707964", "90 deg"},
      {9, "-1.5707964", "-90 deg"},
      {9, "1.5708", "refused: -90 deg to 90 deg"},
  };
  for (const auto& [id, text, expected] : rows) {
    SCOPED_TRACE(text);
    GeData value;
    std::string error;
    const bool read = ParseValue(*record.Find(id), text, value, error);
    if (expected.starts_with(kRefused)) {
      EXPECT_FALSE(read);
      EXPECT_NE(error.find(expected.substr(kRefused.size())), std::string::npos) << error;
    } else {
      EXPECT_TRUE(read) << error;
      EXPECT_EQ(Show(id, value), expected);
    }
  }
}

TEST_F(DescriptionValues, ExactValuesAndShowingWhatNoChoiceLists) {
  GeData value;
  std::string error;
  ASSERT_TRUE(ParseValue(*record.Find(4), "90deg", value, error));
  EXPECT_DOUBLE_EQ(value.GetFloat(), std::numbers::pi / 2.0);
  ASSERT_TRUE(ParseValue(*record.Find(7), "TITLE\\nMusic by", value, error));
  EXPECT_EQ(value.GetString(), String("TITLE\nMusic by"));
  EXPECT_EQ(Show(7, GeData(String("a\nb"))), "\"a\\nb\"");
  EXPECT_EQ(Show(2, GeData(Int32(7))), "7 (not a listed choice)");
}
