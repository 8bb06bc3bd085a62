#include "runtime/description_values.h"
#include "runtime/description_file.h"

#include <gtest/gtest.h>

#include <numbers>

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
      {"type": "button", "id": 8, "name": "V_FIT"}
    ]})",
                                     "values.json", record, error))
        << error;
  }

  // The value `text` gives, or nil with the error in `error`.
  GeData Parse(Int32 id, const std::string& text) {
    GeData value;
    error.clear();
    if (!ParseValue(*record.Find(id), text, value, error)) return GeData();
    return value;
  }
  std::string Show(Int32 id, const GeData& value) { return FormatValue(*record.Find(id), value); }

  DescriptionRecord record;
  std::string error;
};
}  // namespace

TEST_F(DescriptionValues, AnglesTakeDegreesWithTheSuffixAndRadiansWithout) {
  EXPECT_DOUBLE_EQ(Parse(4, "90deg").GetFloat(), std::numbers::pi / 2.0);
  EXPECT_DOUBLE_EQ(Parse(4, " 315 DEG ").GetFloat(), 315.0 * std::numbers::pi / 180.0);
  EXPECT_DOUBLE_EQ(Parse(4, "1.5").GetFloat(), 1.5);
  EXPECT_EQ(Show(4, GeData(std::numbers::pi)), "180 deg");
  EXPECT_TRUE(Parse(4, "400deg").IsNil());  // beyond the 360 degree limit
  EXPECT_NE(error.find("1 deg to 360 deg"), std::string::npos) << error;
  EXPECT_TRUE(Parse(5, "2deg").IsNil());  // not an angle
  EXPECT_DOUBLE_EQ(Parse(5, "6.5cm").GetFloat(), 6.5);
  EXPECT_EQ(Show(5, GeData(6.5)), "6.5 cm");
}

TEST_F(DescriptionValues, CyclesTakeAChoicesNumberOrLabelAndNothingElse) {
  EXPECT_EQ(Parse(2, "2").GetInt32(), 2);
  EXPECT_EQ(Parse(2, "single EYE").GetInt32(), 2);
  EXPECT_EQ(Show(2, GeData(Int32(1))), "Side by side (1)");
  EXPECT_EQ(Show(2, GeData(Int32(7))), "7 (not a listed choice)");
  EXPECT_TRUE(Parse(2, "7").IsNil());
  EXPECT_NE(error.find("V_MODE"), std::string::npos);
  EXPECT_NE(error.find("0 Anaglyph, 1 Side by side, 2 Single eye"), std::string::npos) << error;
}

TEST_F(DescriptionValues, WrongKindsOfValueAreRefusedWithWhatTheElementTakes) {
  EXPECT_TRUE(Parse(1, "maybe").IsNil());
  EXPECT_NE(error.find("on or off"), std::string::npos) << error;
  EXPECT_TRUE(Parse(1, "yes").GetBool());
  EXPECT_FALSE(Parse(1, "off").GetBool());
  EXPECT_TRUE(Parse(3, "1.5").IsNil());
  EXPECT_TRUE(Parse(3, "11").IsNil());
  EXPECT_NE(error.find("-10 to 10"), std::string::npos) << error;
  EXPECT_EQ(Parse(3, "-10").GetInt32(), -10);
  EXPECT_TRUE(Parse(4, "").IsNil());
  EXPECT_TRUE(Parse(6, "1,2").IsNil());
  EXPECT_TRUE(Parse(6, "1,2,3,4").IsNil());
  EXPECT_TRUE(Parse(8, "1").IsNil());
  EXPECT_NE(error.find("holds no value"), std::string::npos) << error;
}

TEST_F(DescriptionValues, VectorsAndTextsReadAsWritten) {
  EXPECT_EQ(Parse(6, "(0.2, 0.3, 1)").GetVector(), Vector(0.2, 0.3, 1.0));
  EXPECT_EQ(Show(6, GeData(Vector(0.5, 0.5, 0.0))), "(0.5, 0.5, 0)");
  EXPECT_EQ(Parse(7, "TITLE\\nMusic by").GetString(), String("TITLE\nMusic by"));
  EXPECT_EQ(Show(7, GeData(String("a\nb"))), "\"a\\nb\"");
}
