#include "framework/exceptions.h"
#include "framework/variant.h"

#include <gtest/gtest.h>

namespace velkor {
namespace {

TEST(Variant, conversions_between_kinds)
{
    EXPECT_EQ(TVariant(42).AsString(), "42");
    EXPECT_EQ(TVariant("17").AsInteger(), 17);
    EXPECT_EQ(TVariant(2.5).AsInteger(), 2) << "rounds half to even";
    EXPECT_EQ(TVariant(TCurrency{123450}).AsString(), "12.345");
    EXPECT_EQ(TVariant(TCurrency{-5}).AsString(), "-0.0005");
    EXPECT_EQ(TVariant(7).ChangeType(TVarType::varString), TVariant("7"));
    EXPECT_EQ(TVariant("7").ChangeType(TVarType::varInteger), TVariant(7));
    EXPECT_TRUE(TVariant(true).AsBoolean());
    EXPECT_EQ(TVariant().AsInteger(), 0);
}

TEST(Variant, impossible_conversions_raise)
{
    EXPECT_THROW((void)TVariant::Null().AsInteger(), EVariantError);
    EXPECT_THROW((void)TVariant("abc").AsInteger(), EVariantError);
    EXPECT_THROW((void)TVariant(3e10).AsInteger(), EVariantError);
    EXPECT_THROW((void)TVariant("x").ChangeType(TVarType::varDouble), EVariantError);
}

TEST(Variant, equality_needs_the_same_kind)
{
    EXPECT_EQ(TVariant(1), TVariant(1));
    EXPECT_FALSE(TVariant(1) == TVariant(1.0));
    EXPECT_FALSE(TVariant() == TVariant::Null());
    EXPECT_TRUE(TVariant::Null().IsClear());
}

} // namespace
} // namespace velkor
