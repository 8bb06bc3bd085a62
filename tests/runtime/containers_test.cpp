#include "c4d.h"

#include <gtest/gtest.h>

// Missing IDs and values of another kind read as the default, never as garbage; numbers convert.
TEST(BaseContainer, ReadsConvertNumbersAndAnswerDefaultsForMissingOrOtherKinds) {
  BaseContainer data;
  EXPECT_EQ(data.GetInt32(7, 42), 42);
  EXPECT_EQ(data.GetVector(7, Vector(1, 2, 3)), Vector(1, 2, 3));
  EXPECT_EQ(data.GetLink(7), nullptr);
  EXPECT_TRUE(data.GetData(7).IsNil());
  data.SetBool(1, true);
  data.SetInt32(2, -5);
  data.SetFloat(3, 1.75);
  data.SetString(4, "text");
  EXPECT_EQ(data.GetData(1).GetType(), DA_LONG);  // Bool is stored as Int32
  EXPECT_EQ(data.GetFloat(2), -5.0);
  EXPECT_EQ(data.GetInt32(3), 1);
  EXPECT_EQ(data.GetVector(4), Vector());
}

TEST(BaseContainer, MergeReplacesEqualIdsAndEnumeratesInIdOrder) {
  BaseContainer target;
  target.SetInt32(30, 1);
  target.SetInt32(10, 1);
  BaseContainer source;
  source.SetInt32(10, 2);
  source.SetInt32(20, 2);
  target.MergeContainer(source);
  ASSERT_EQ(target.GetCount(), 3);
  for (Int32 i = 0; i < 4; ++i) EXPECT_EQ(target.GetIndexId(i), i < 3 ? 10 * (i + 1) : NOTOK) << i;
  EXPECT_EQ(target.GetInt32(10), 2);
  EXPECT_TRUE(target.RemoveData(20));
  EXPECT_FALSE(target.RemoveData(20));
}

TEST(BaseContainer, CopiesAreIndependent) {
  BaseContainer inner;
  inner.SetInt32(1, 1);
  BaseContainer outer;
  outer.SetContainer(9, inner);
  BaseContainer copy = outer;
  inner.SetInt32(1, 2);
  copy.SetInt32(2, 5);
  EXPECT_EQ(outer.GetContainer(9).GetInt32(1), 1);
  EXPECT_FALSE(outer.GetDataPointer(2));
  EXPECT_NE(copy, outer);
}

TEST(GeData, LinksResolveToNullOnceTheNodeIsGone) {
  BaseObject* object = BaseObject::Alloc(Ocube);
  BaseContainer data;
  data.SetLink(1, object);
  EXPECT_EQ(data.GetLink(1), object);
  EXPECT_EQ(data.GetLink(1, nullptr, Ocamera), nullptr);  // wrong kind
  BaseObject::Free(object);
  EXPECT_EQ(data.GetLink(1), nullptr);
}

TEST(GeData, CustomValuesCopyAndCompareByType) {
  const BitmapButtonStruct button(nullptr, DescID(1058), 0);
  const GeData value(CUSTOMDATATYPE_BITMAPBUTTON, button);
  const GeData copy = value;
  EXPECT_EQ(copy.GetType(), CUSTOMDATATYPE_BITMAPBUTTON);
  const auto* held =
      static_cast<const BitmapButtonStruct*>(copy.GetCustomDataType(CUSTOMDATATYPE_BITMAPBUTTON));
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(held->id, DescID(1058));
  EXPECT_EQ(copy.GetCustomDataType(CUSTOMDATATYPE_PRIORITY), nullptr);
}

TEST(Filename, JoinsWithTheFolderSeparator) {
  EXPECT_EQ((Filename("/plugins/Orvex") + Filename("res") + Filename("a.png")).GetString(),
            String("/plugins/Orvex/res/a.png"));
  EXPECT_EQ((Filename() + Filename("a.png")).GetString(), String("a.png"));
  EXPECT_EQ(Filename("/x/y/a.tif").GetFileString(), String("a.tif"));
  EXPECT_EQ(Filename("/x/y/a.tif").GetSuffix(), String("tif"));
}
