#include <gtest/gtest.h>

#include <string>

#include "PhoneQr.h"

using namespace qv::phone;

namespace {

// The 7x7 finder pattern: a dark ring, a light ring, a dark 3x3 core.
bool FinderAt(const QrMatrix& m, int x0, int y0) {
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x) {
      const bool ring = x == 0 || y == 0 || x == 6 || y == 6;
      const bool core = x >= 2 && x <= 4 && y >= 2 && y <= 4;
      if (m.At(x0 + x, y0 + y) != (ring || core)) return false;
    }
  return true;
}

const std::string kUrl = "http://192.168.100.200:54321/?t=00112233445566778899aabbccddeeff";

}  // namespace

TEST(PhoneQr, TheMatrixHasItsVersionsSizeAndALightBorder) {
  const auto m = MakeQr(kUrl);
  ASSERT_TRUE(m);
  EXPECT_GE(m->version, 3);  // 61 bytes do not fit a smaller one at level M
  EXPECT_LE(m->version, 5);
  EXPECT_EQ(m->quietZone, 4);
  EXPECT_EQ(m->size, 17 + 4 * m->version + 8);
  ASSERT_EQ(m->dark.size(), static_cast<std::size_t>(m->size * m->size));
  for (int i = 0; i < m->size; ++i)
    for (int b = 0; b < 4; ++b) {
      EXPECT_FALSE(m->At(i, b));
      EXPECT_FALSE(m->At(b, i));
      EXPECT_FALSE(m->At(i, m->size - 1 - b));
      EXPECT_FALSE(m->At(m->size - 1 - b, i));
    }
  const int inner = m->size - 8;
  EXPECT_TRUE(FinderAt(*m, 4, 4));
  EXPECT_TRUE(FinderAt(*m, 4 + inner - 7, 4));
  EXPECT_TRUE(FinderAt(*m, 4, 4 + inner - 7));
  EXPECT_FALSE(FinderAt(*m, 4 + inner - 7, 4 + inner - 7));
  // The timing pattern between the finders alternates, starting dark.
  for (int i = 8; i < inner - 8; ++i) {
    EXPECT_EQ(m->At(4 + i, 4 + 6), i % 2 == 0) << i;
    EXPECT_EQ(m->At(4 + 6, 4 + i), i % 2 == 0) << i;
  }
  EXPECT_FALSE(m->At(-1, 0));
  EXPECT_FALSE(m->At(0, m->size));
}

TEST(PhoneQr, SameTextSameCodeLongerTextLargerCode) {
  const auto a = MakeQr(kUrl), b = MakeQr(kUrl), other = MakeQr(kUrl.substr(0, kUrl.size() - 1) + "0");
  ASSERT_TRUE(a && b && other);
  EXPECT_EQ(a->dark, b->dark);
  EXPECT_NE(a->dark, other->dark);
  const auto longer = MakeQr(kUrl + std::string(200, 'x'));
  ASSERT_TRUE(longer);
  EXPECT_GT(longer->version, a->version);
  const auto bare = MakeQr(kUrl, 0);
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->size, a->size - 8);
  EXPECT_TRUE(FinderAt(*bare, 0, 0));
  EXPECT_FALSE(MakeQr(std::string(3000, 'x')));  // beyond version 40
}
