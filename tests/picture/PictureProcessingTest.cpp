#include "sensor/PictureProcessing.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

int Blue(BgraPixel p) {
    return p & 0xFF;
}
int Green(BgraPixel p) {
    return (p >> 8) & 0xFF;
}
int Red(BgraPixel p) {
    return (p >> 16) & 0xFF;
}
BgraPixel Bgr(int b, int g, int r) {
    return 0xFF000000u | r << 16 | g << 8 | b;
}

InspectionArea Area(int x1, int y1, int x2, int y2) {
    InspectionArea a;
    a.area_rect_x1 = x1, a.area_rect_y1 = y1, a.area_rect_x2 = x2, a.area_rect_y2 = y2;
    return a;
}

// A 6 x 4 mosaic whose value at (x, y) is 10 * y + x + 1, so every mean is easy to check.
struct Mosaic {
    static constexpr int w = 6, h = 4;
    std::vector<uint8_t> raw;
    std::vector<BgraPixel> out;
    Mosaic() : raw(w * h), out(w * h) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                raw[y * w + x] = static_cast<uint8_t>(10 * y + x + 1);
        DemosaicToBgra(raw.data(), w, h, out.data());
    }
    int v(int x, int y) const { return raw[y * w + x]; }
    BgraPixel at(int x, int y) const { return out[y * w + x]; }
};

struct SiteCase {
    const char* name;
    int x, y;
    int blue, green, red;
    friend void PrintTo(const SiteCase& c, std::ostream* os) { *os << c.name; }
};

class DemosaicSiteTest : public ::testing::TestWithParam<SiteCase> {};

TEST_P(DemosaicSiteTest, GivesTheDefinedMeans) {
    const Mosaic m;
    const SiteCase& c = GetParam();
    const BgraPixel p = m.at(c.x, c.y);
    EXPECT_EQ(Blue(p), c.blue);
    EXPECT_EQ(Green(p), c.green);
    EXPECT_EQ(Red(p), c.red);
    EXPECT_EQ(p >> 24, 255u);
}

// Interior: blue site (3,2)... rows are counted from 0: row 2 is even, so x odd is blue.
INSTANTIATE_TEST_SUITE_P(
    Sites, DemosaicSiteTest,
    ::testing::Values(
        // blue (3,2)=24: green = (23+25+14+34)/4 = 24, red = (13+15+33+35)/4 = 24
        SiteCase{"BlueSite", 3, 2, 24, 24, 24},
        // red (2,1)=13: green = (12+14+3+23)/4 = 13, blue = (2+4+22+24)/4 = 13
        SiteCase{"RedSite", 2, 1, 13, 13, 13},
        // green in even row (2,2)=23: blue = (22+24)/2, red = (13+33)/2
        SiteCase{"GreenEvenRow", 2, 2, 23, 23, 23},
        // green in odd row (3,1)=14: red = (13+15)/2, blue = (4+24)/2
        SiteCase{"GreenOddRow", 3, 1, 14, 14, 14},
        // border, mirrored: green (0,0)=1: blue = (2+2)/2, red = (11+11)/2
        SiteCase{"CornerGreen", 0, 0, 2, 1, 11},
        // border blue (5,0)=6: green = (5+5+16+16)/4 = 10, red = (15+15+15+15)/4 = 15
        SiteCase{"RightEdgeBlue", 5, 0, 6, 10, 15},
        // border red (0,3)=31: green = (32+32+21+21)/4 = 26, blue = (22+22+22+22)/4 = 22
        SiteCase{"BottomLeftRed", 0, 3, 22, 26, 31}));

TEST(DemosaicTest, TruncatesMeansOnANonLinearFixture) {
    // Blue site with neighbours 0, 0, 0, 3 (mean 0.75 -> 0) and diagonals 1, 1, 1, 0 (-> 0).
    std::vector<uint8_t> raw(4 * 4, 0);
    raw[1 * 4 + 1] = 3;  // above the blue site (1,2)
    raw[2 * 4 + 1] = 200;
    raw[1 * 4 + 0] = 1, raw[1 * 4 + 2] = 1, raw[3 * 4 + 0] = 1;
    std::vector<BgraPixel> out(16);
    DemosaicToBgra(raw.data(), 4, 4, out.data());
    const BgraPixel p = out[2 * 4 + 1];
    EXPECT_EQ(Blue(p), 200);
    EXPECT_EQ(Green(p), 0);  // (0 + 0 + 3 + 0) / 4
    EXPECT_EQ(Red(p), 0);    // (1 + 1 + 1 + 0) / 4
}

TEST(DarkenTest, OnlyPixelsOutsideTheAreaAreQuartered) {
    std::vector<uint8_t> raw(8 * 6, 200);
    DarkenOutsideArea(raw.data(), 8, 6, Area(2, 1, 4, 3));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x <= 4 && y >= 1 && y <= 3;
            EXPECT_EQ(raw[y * 8 + x], inside ? 200 : 50) << x << "," << y;
        }
}

struct BadAreaCase {
    const char* name;
    InspectionArea area;
    int keptPixels;  // pixels left at full brightness in an 8 x 6 picture
    friend void PrintTo(const BadAreaCase& c, std::ostream* os) { *os << c.name; }
};

class BadAreaTest : public ::testing::TestWithParam<BadAreaCase> {};

TEST_P(BadAreaTest, IsClippedAndNeverWritesOutside) {
    // Guard bytes around the picture catch a write outside the buffer.
    std::vector<uint8_t> buffer(8 * 6 + 64, 200);
    uint8_t* raw = buffer.data() + 32;
    DarkenOutsideArea(raw, 8, 6, GetParam().area);
    int kept = 0;
    for (int i = 0; i < 48; ++i)
        kept += raw[i] == 200;
    EXPECT_EQ(kept, GetParam().keptPixels);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(buffer[i], 200);
        EXPECT_EQ(buffer[32 + 48 + i], 200);
    }
    std::vector<BgraPixel> pixels(8 * 6 + 64, 0);
    DrawAreaOutline(pixels.data() + 32, 8, 6, GetParam().area, 2, false);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(pixels[i], 0u);
        EXPECT_EQ(pixels[32 + 48 + i], 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Areas, BadAreaTest,
                         ::testing::Values(BadAreaCase{"PartlyLeftAndAbove", Area(-5, -5, 1, 1), 4},
                                           BadAreaCase{"BeyondRightAndBottom",
                                                       Area(6, 4, 1279, 799), 4},
                                           BadAreaCase{"WhollyOutside", Area(20, 20, 30, 30), 0},
                                           BadAreaCase{"Inverted", Area(5, 1, 2, 3), 0},
                                           BadAreaCase{"WholePicture", Area(0, 0, 7, 5), 48}));

TEST(OutlineTest, ColourAndThicknessFollowTheModel) {
    std::vector<BgraPixel> pixels(10 * 10, Bgr(1, 1, 1));
    DrawAreaOutline(pixels.data(), 10, 10, Area(2, 2, 7, 7), 1, false);
    EXPECT_EQ(pixels[2 * 10 + 2], Bgr(0, 0, 255));
    EXPECT_EQ(pixels[7 * 10 + 5], Bgr(0, 0, 255));
    EXPECT_EQ(pixels[3 * 10 + 3], Bgr(1, 1, 1));  // one pixel only

    DrawAreaOutline(pixels.data(), 10, 10, Area(2, 2, 7, 7), 2, true);
    EXPECT_EQ(pixels[2 * 10 + 4], Bgr(0, 255, 0));
    EXPECT_EQ(pixels[3 * 10 + 4], Bgr(0, 255, 0));  // second line inside
    EXPECT_EQ(pixels[1 * 10 + 4], Bgr(1, 1, 1));    // not outside
    EXPECT_EQ(pixels[4 * 10 + 4], Bgr(1, 1, 1));
}

struct OverlayCase {
    const char* name;
    float level;  // with maximum 50
    int blueIn;   // blue value before (decides k)
    int model;
    BgraPixel expected;  // for a pixel starting at (blueIn, 100, 100)
    friend void PrintTo(const OverlayCase& c, std::ostream* os) { *os << c.name; }
};

class OverlayTest : public ::testing::TestWithParam<OverlayCase> {};

TEST_P(OverlayTest, CellColourFollowsTheTable) {
    const OverlayCase& c = GetParam();
    const int cell = CellSize(c.model);
    std::vector<BgraPixel> pixels(cell * cell, Bgr(c.blueIn, 100, 100));
    const float levels[1] = {c.level};
    ColourAcousticMap(pixels.data(), cell, cell, c.model, levels, 1, 1, 50.0f);
    for (BgraPixel p : pixels) {
        ASSERT_EQ(p, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OverlayTest,
    ::testing::Values(
        // k: A > 200 -> A/2; > 150 -> A/3; > 100 -> A/4; else 0. s = 50 (model 2) or 20.
        OverlayCase{"AtMaximumModel2", 50.0f, 210, 2, Bgr(105, 0, 150)},
        OverlayCase{"AtMaximumModel3", 50.0f, 210, 3, Bgr(105, 0, 120)},
        OverlayCase{"WithinTenth", 49.95f, 160, 2, Bgr(107, 47, 125)},
        OverlayCase{"WithinTwoTenths", 49.85f, 120, 2, Bgr(90, 150, 150)},
        OverlayCase{"WithinFourTenths", 49.7f, 90, 3, Bgr(90, 110, 110)},
        OverlayCase{"WithinSixTenths", 49.5f, 255, 2, Bgr(128, 150, 0)},
        OverlayCase{"BelowSixTenths", 49.3f, 255, 2, Bgr(255, 100, 100)},
        OverlayCase{"DarkPixelAtMaximum", 50.0f, 0, 2, Bgr(0, 100, 150)}));

TEST(SpotMarkerTest, DiscsAddUpTowardsTheCentreAndClipAtTheEdge) {
    constexpr int w = kModel2Width, h = kModel2Height;
    std::vector<BgraPixel> pixels(w * h, Bgr(128, 128, 128));
    DrawSpotMarker(pixels.data(), w, h, 2, 10, 10, SpotStyle::First);
    const BgraPixel centre = pixels[52 * w + 52];
    EXPECT_EQ(centre, Bgr(128 - 84, 128 - 84, 128 + 84));
    // Distance 3 lies in discs 2..8 (radius 4..16): 3 * (6 + 5 + ... + 0) = 63.
    EXPECT_EQ(pixels[52 * w + 55], Bgr(128 - 63, 128 - 63, 128 + 63));
    EXPECT_EQ(pixels[52 * w + 52 + 17], Bgr(128, 128, 128));

    DrawSpotMarker(pixels.data(), w, h, 2, 0, 0, SpotStyle::Second);
    EXPECT_EQ(pixels[2 * w + 2], Bgr(128 - 84, 128 + 84, 128 - 84));
    // The map's last cell: centre (317, 237), clipped without touching memory outside.
    DrawSpotMarker(pixels.data(), w, h, 2, 63, 47, SpotStyle::First);
    EXPECT_EQ(pixels[237 * w + 317], Bgr(128 - 84, 128 - 84, 128 + 84));
    std::vector<BgraPixel> model3(kModel3Width * kModel3Height, Bgr(0, 0, 0));
    DrawSpotMarker(model3.data(), kModel3Width, kModel3Height, 3, 79, 49, SpotStyle::First);
    EXPECT_EQ(model3[792 * kModel3Width + 1272], Bgr(0, 0, 84));
}

TEST(ExamineAreaSpotsTest, EveryInAreaCellAtTheMaximumIsExamined) {
    constexpr int w = kModel2Width, h = kModel2Height;
    std::vector<BgraPixel> pixels(w * h, Bgr(100, 100, 100));
    std::vector<float> levels(64 * 48, 40.0f);
    levels[10 * 64 + 10] = 60.0f;  // in the area
    levels[20 * 64 + 30] = 60.0f;  // in the area, shares the maximum
    levels[1 * 64 + 1] = 60.0f;    // outside the area
    std::vector<std::pair<int, int>> examined;
    auto accept = [&](int c, int r, float) {
        examined.emplace_back(c, r);
        return c == 10;
    };
    const bool any = ExamineAreaSpots(pixels.data(), w, h, 2, levels.data(), 64, 48, 60.0f,
                                      Area(25, 25, 300, 200), accept, 1);
    EXPECT_TRUE(any);
    ASSERT_EQ(examined.size(), 2u);
    EXPECT_EQ(examined[0], std::make_pair(10, 10));
    EXPECT_EQ(examined[1], std::make_pair(30, 20));
    EXPECT_EQ(Red(pixels[52 * w + 52]), 184);          // accepted: first style
    EXPECT_EQ(Green(pixels[102 * w + 152]), 184);      // rejected, shown in the second style
    EXPECT_EQ(pixels[7 * w + 7], Bgr(100, 100, 100));  // the outside cell is untouched

    std::vector<BgraPixel> plain(w * h, Bgr(100, 100, 100));
    EXPECT_FALSE(ExamineAreaSpots(
        plain.data(), w, h, 2, levels.data(), 64, 48, 60.0f, Area(25, 25, 300, 200),
        [](int, int, float) { return false; }, 0));
    EXPECT_EQ(plain[102 * w + 152], Bgr(100, 100, 100));  // no second style without the flag
}

TEST(ThermalTest, UniformFrameIsBlueAndBandsFollowTheScale) {
    std::vector<uint16_t> values(kThermalWidth * kThermalHeight, 0xC000 | 12000);
    QImage bitmap;
    ASSERT_TRUE(ColourThermalFrame(values.data(), int(values.size()), bitmap));
    EXPECT_EQ(bitmap.size(), QSize(160, 120));
    EXPECT_EQ(bitmap.pixelColor(0, 0), QColor(0, 0, 255));
    EXPECT_EQ(bitmap.pixelColor(159, 119), QColor(0, 0, 255));

    // lo 0, hi 1024: e = 1/8, 3/8, 5/8, 7/8 and 1 (bit 14 is not part of the value); each band
    // gives 127.5, truncated to 127.
    values.assign(values.size(), 0);
    const int v[] = {128, 384, 640, 896, 1024 | 0x4000};
    for (int i = 0; i < 5; ++i)
        values[i] = static_cast<uint16_t>(v[i]);
    ASSERT_TRUE(ColourThermalFrame(values.data(), int(values.size()), bitmap));
    EXPECT_EQ(bitmap.pixelColor(0, 0), QColor(0, 127, 255));
    EXPECT_EQ(bitmap.pixelColor(1, 0), QColor(0, 255, 127));
    EXPECT_EQ(bitmap.pixelColor(2, 0), QColor(127, 255, 0));
    EXPECT_EQ(bitmap.pixelColor(3, 0), QColor(255, 127, 0));
    EXPECT_EQ(bitmap.pixelColor(4, 0), QColor(255, 0, 0));
    EXPECT_EQ(bitmap.pixelColor(5, 0), QColor(0, 0, 255));

    EXPECT_FALSE(ColourThermalFrame(values.data(), 100, bitmap));
}

}  // namespace

namespace {

// The definition written out pixel by pixel, as the reference for the vectorised interior.
BgraPixel ReferenceDemosaic(const std::vector<uint8_t>& raw, int w, int h, int x, int y) {
    auto at = [&](int xx, int yy) {
        xx = xx < 0 ? -xx : (xx >= w ? 2 * w - 2 - xx : xx);
        yy = yy < 0 ? -yy : (yy >= h ? 2 * h - 2 - yy : yy);
        return int(raw[yy * w + xx]);
    };
    const int p = at(x, y);
    const int cross = (at(x - 1, y) + at(x + 1, y) + at(x, y - 1) + at(x, y + 1)) / 4;
    const int diagonal =
        (at(x - 1, y - 1) + at(x + 1, y - 1) + at(x - 1, y + 1) + at(x + 1, y + 1)) / 4;
    const int horizontal = (at(x - 1, y) + at(x + 1, y)) / 2;
    const int vertical = (at(x, y - 1) + at(x, y + 1)) / 2;
    const bool evenRow = y % 2 == 0, evenColumn = x % 2 == 0;
    if (evenRow && !evenColumn)
        return Bgr(p, cross, diagonal);
    if (!evenRow && evenColumn)
        return Bgr(diagonal, cross, p);
    return evenRow ? Bgr(horizontal, p, vertical) : Bgr(vertical, p, horizontal);
}

TEST(DemosaicTest, WholeFramesMatchTheDefinitionAtEveryPixel) {
    for (auto [w, h] : {std::pair{64, 8}, {38, 5}, {3, 3}, {1280, 6}}) {
        std::vector<uint8_t> raw(w * h);
        uint32_t seed = 12345;
        for (auto& v : raw) {
            seed = seed * 1103515245u + 12345u;
            v = static_cast<uint8_t>(seed >> 23);  // includes 0, 255 and odd sums
        }
        std::vector<BgraPixel> out(w * h);
        DemosaicToBgra(raw.data(), w, h, out.data());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(out[y * w + x], ReferenceDemosaic(raw, w, h, x, y))
                    << w << "x" << h << " at " << x << "," << y;
    }
}

}  // namespace
