// Names shown as text: valid UTF-8 stays, every other byte becomes U+FFFD.
#include "zvlfile/text.h"

#include <gtest/gtest.h>

TEST(ZvlNameAsUtf8, KeepsUtf8AndReplacesEveryOtherByte) {
  EXPECT_EQ(ZvlNameAsUtf8("K\xc3\xb6rper \xe2\x82\xac \xf0\x9f\x99\x82"), "K\xc3\xb6rper \xe2\x82\xac \xf0\x9f\x99\x82");
  EXPECT_EQ(ZvlNameAsUtf8("K\xf6rper"), "K\xef\xbf\xbdrper");  // Latin-1
  EXPECT_EQ(ZvlNameAsUtf8("\xc0\xaf|\xed\xa0\x80|\xe2\x82"), "\xef\xbf\xbd\xef\xbf\xbd|\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd|\xef\xbf\xbd\xef\xbf\xbd");
  EXPECT_EQ(ZvlNameAsUtf8(static_cast<const char*>(nullptr)), "");
}
