#include "app/Cp949.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp949Test, KoreanRoundTripsWithKnownBytes) {
    // "검사" in code page 949 is B0 CB BB E7.
    const QByteArray bytes = ToCp949(QString::fromUtf8("검사 OK"));
    EXPECT_EQ(bytes, QByteArray("\xB0\xCB\xBB\xE7 OK"));
    EXPECT_EQ(FromCp949(bytes), QString::fromUtf8("검사 OK"));
}

TEST(Cp949Test, UnmappableAndInvalidInputIsReplacedNotLost) {
    EXPECT_EQ(ToCp949(QString::fromUtf8("a😀b")), QByteArray("a?b"));
    EXPECT_EQ(FromCp949(QByteArray("a\xFF"
                                   "b")),
              QString::fromUtf8("a\uFFFDb"));
    EXPECT_EQ(FromCp949(QByteArray("ab\xB0")), QString::fromUtf8("ab\uFFFD"));  // cut in half
    EXPECT_TRUE(FromCp949(QByteArray()).isEmpty());
}

}  // namespace
