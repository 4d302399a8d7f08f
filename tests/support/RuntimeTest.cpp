#include <gtest/gtest.h>

#include "support/AppError.h"
#include "support/Runtime.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(RuntimeTest, ValReadsTheLeadingNumberLikeTheOriginalRuntime) {
  EXPECT_EQ(Val(u"  12abc"_s), 12);
  EXPECT_EQ(Val(u"1 2 3"_s), 123);
  EXPECT_EQ(Val(u"-3.5e2x"_s), -350);
  EXPECT_EQ(Val(u"2d1"_s), 20);
  EXPECT_EQ(Val(u"&H1F"_s), 31);
  EXPECT_EQ(Val(u"&o17"_s), 15);
  EXPECT_EQ(Val(u"1.28"_s), 1.28);
  EXPECT_EQ(Val(u"abc"_s), 0);
  EXPECT_EQ(Val(u""_s), 0);
  EXPECT_EQ(Val(u"7e"_s), 7);
}

TEST(RuntimeTest, StrAndDigitPatterns) {
  EXPECT_EQ(Str(5), u" 5");
  EXPECT_EQ(Str(-5), u"-5");
  EXPECT_EQ(Str(1.5), u" 1.5");
  EXPECT_EQ(FormatNumber(5, u"0#"_s), u"05");
  EXPECT_EQ(FormatNumber(5, u"00"_s), u"05");
  EXPECT_EQ(FormatNumber(5, u"#0"_s), u"5");
  EXPECT_EQ(FormatNumber(123, u"00"_s), u"123");
  EXPECT_EQ(FormatNumber(0, u"#0"_s), u"0");
  EXPECT_EQ(FormatNumber(1234567.89, u"###,###,##0.0"_s), u"1,234,567.9");
  EXPECT_EQ(FormatNumber(0.25, u"###,###,##0.0"_s), u"0.3");
  EXPECT_EQ(FormatNumber(-999.96, u"###,###,##0.0"_s), u"-1,000.0");
  EXPECT_EQ(FormatNumber(-0.01, u"###,###,##0.0"_s), u"0.0");
}

TEST(RuntimeTest, RoundingToIntegersIsHalfToEvenWithOverflow) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(CInt(32767.4), 32767);
  EXPECT_EQ(CInt(-32768), -32768);
  EXPECT_THROW(CInt(32767.5), AppError);
  EXPECT_THROW(CLng(3e9), AppError);
  try {
    CInt(40000);
  } catch (const AppError& error) {
    EXPECT_EQ(error.Number(), kErrOverflow);
    EXPECT_EQ(error.Description(), u"Overflow");
  }
}

TEST(RuntimeTest, DatesAreDaysSinceTheEndOf1899) {
  EXPECT_EQ(ToOleDate(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), 0.0);
  EXPECT_EQ(ToOleDate(QDateTime(QDate(2000, 1, 1), QTime(18, 0))), 36526.75);
  EXPECT_EQ(ToOleDate(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
  EXPECT_EQ(FromOleDate(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
  const QDateTime played(QDate(2026, 12, 5), QTime(21, 14, 37));
  EXPECT_EQ(FromOleDate(ToOleDate(played)), played);
}

}  // namespace
}  // namespace audiolume
