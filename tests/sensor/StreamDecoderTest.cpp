#include "sensor/StreamDecoder.h"
#include "tests/sensor/StreamBytes.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace stream_bytes;
using namespace camera;

namespace {

struct Recorder : StreamDecoderSink {
    void onHeader(uint8_t identifier, uint8_t, uint32_t length) override {
        headers.push_back({identifier, length});
    }
    void onItem(const ItemInfo& item) override { items.push_back(item); }
    void onStatus() override { ++statuses; }
    std::vector<std::pair<uint8_t, uint32_t>> headers;
    std::vector<ItemInfo> items;
    int statuses = 0;
};

class StreamDecoderTest : public ::testing::Test {
  protected:
    void SetUp() override { decoder.reset(); }
    bool Feed(const QByteArray& bytes, int chunk = 5120) {
        return decoder.feed(bytes.constData(), bytes.size(), &sink, chunk);
    }
    CStreamDecoder decoder;
    Recorder sink;
};

}  // namespace

TEST_F(StreamDecoderTest, LongHeaderSplitAcrossTwoChunks) {
    QByteArray status = CCameraStreamGenerator::StatusMessage(3, {0, 3, 8, 2});
    const QByteArray following = Message(0x55, QByteArray(3, 'x'));
    const QByteArray stream = status + following;
    decoder.append(stream.constData(), 10);
    EXPECT_EQ(decoder.decodeStep(&sink), CStreamDecoder::Step::NeedData);
    EXPECT_EQ(decoder.expectedLength(), 12);
    EXPECT_TRUE(sink.headers.empty());
    decoder.append(stream.constData() + 10, stream.size() - 10);
    while (decoder.decodeStep(&sink) == CStreamDecoder::Step::Progress) {
    }
    ASSERT_EQ(sink.headers.size(), 2u);
    EXPECT_EQ(sink.headers[0], std::make_pair(uint8_t{4}, uint32_t{72}));
    EXPECT_EQ(sink.headers[1], std::make_pair(uint8_t{0x55}, uint32_t{3}));
    EXPECT_EQ(sink.statuses, 1);
    EXPECT_EQ(decoder.frames().statusBlock[37], 3);
    EXPECT_EQ(decoder.fillCount(), 0);
}

TEST_F(StreamDecoderTest, ZeroLengthPayloadIsFollowedByTheNextHeader) {
    CCameraStreamGenerator model2(2);
    const QByteArray stream = Header(0x30, 0) + Header(7, 0) + Data({model2.waveformItem(5, 0)});
    ASSERT_TRUE(Feed(stream, 7));
    ASSERT_EQ(sink.headers.size(), 3u);
    EXPECT_EQ(sink.headers[1].first, 7);
    ASSERT_EQ(sink.items.size(), 1u);
    EXPECT_EQ(sink.items[0].kind, ItemKind::Waveform);
    EXPECT_EQ(sink.items[0].timeStamp, 5u);
}

TEST_F(StreamDecoderTest, ItemCountZeroConsumesOnlyTheCount) {
    // Payload of 12 bytes: count 0, then 8 bytes that the framing reads as the next header.
    QByteArray payload(4, '\0');
    payload += Header(0x77, 0);
    ASSERT_TRUE(Feed(Message(kIdData, payload)));
    ASSERT_EQ(sink.headers.size(), 2u);
    EXPECT_EQ(sink.headers[1].first, 0x77);
    EXPECT_TRUE(sink.items.empty());
    EXPECT_TRUE(decoder.headerExpected());
}

TEST_F(StreamDecoderTest, Model2SpectrumOffsetsByLength) {
    for (uint32_t length : {kSpectrumLength2Short, kSpectrumLength2Long}) {
        SCOPED_TRACE(length);
        const int offset = length == kSpectrumLength2Long ? 46 : 30;
        QByteArray item = CCameraStreamGenerator::ItemHead(kItemSpectrum, length, 1, 8 + length);
        for (int bin = 0; bin < 1024; ++bin) {
            Put<float>(item, offset + 4 * bin, static_cast<float>(bin));
        }
        ASSERT_TRUE(Feed(Data({item})));
        EXPECT_EQ(decoder.cameraModel(), 2);
        EXPECT_EQ(decoder.frames().spectrum[0], 0.0f);
        EXPECT_EQ(decoder.frames().spectrum[1023], 1023.0f);
    }
    EXPECT_EQ(decoder.spectrumItemCount(), 2u);
}

TEST_F(StreamDecoderTest, Model3SpectrumAndMapAreConvertedFromRawValues) {
    CCameraStreamGenerator model3(3, 0);
    SpectrumShape shape;
    shape.toneOn = true;
    shape.toneMinHz = 4000;
    shape.toneMaxHz = 4100;
    shape.toneDb = 65;
    AcousticSpot spot{12, 7, 55, 30};
    ASSERT_TRUE(Feed(Data({model3.spectrumItem(9, shape, 0), model3.acousticMapItem(10, spot)})));
    const SensorFrames& frames = decoder.frames();
    const int toneBin = static_cast<int>(4050 / BinWidthHz(3, 0));
    EXPECT_NEAR(frames.spectrum[toneBin], 65.0, 0.01);
    EXPECT_LT(frames.spectrum[10], 24.0);
    EXPECT_NEAR(frames.maxAcousticLevel, 55.0, 0.01);
    EXPECT_NEAR(frames.acousticMap[7 * 80 + 12], 55.0, 0.01);
    EXPECT_EQ(frames.mapColumns, 80);
    EXPECT_EQ(frames.spectrumStamp, 9u);
    EXPECT_EQ(frames.mapStamp, 10u);
}

TEST_F(StreamDecoderTest, MapMaximumStartsAtZero) {
    QByteArray item =
        CCameraStreamGenerator::ItemHead(kItemAcousticMap, kMapLength2, 0, 8 + kMapLength2);
    for (int cell = 0; cell < 3072; ++cell) {
        Put<float>(item, kMapOffset + 4 * cell, -5.0f);
    }
    ASSERT_TRUE(Feed(Data({item})));
    EXPECT_EQ(decoder.cameraModel(), 2);
    EXPECT_EQ(decoder.frames().maxAcousticLevel, 0.0f);
}

TEST_F(StreamDecoderTest, ModelPersistsAndUnknownLengthsUseItsLayout) {
    CCameraStreamGenerator model2(2);
    ASSERT_TRUE(Feed(Data({model2.pictureItem(0, 0)})));
    EXPECT_EQ(decoder.cameraModel(), 2);
    decoder.reset();
    EXPECT_EQ(decoder.cameraModel(), 2);
    // A picture of unexpected length that holds the model-2 layout is read with it.
    QByteArray odd = CCameraStreamGenerator::ItemHead(kItemPicture, 76900, 0, 8 + 76900);
    odd[20] = 99;
    ASSERT_TRUE(Feed(Data({odd})));
    EXPECT_EQ(decoder.cameraModel(), 2);
    EXPECT_EQ(decoder.frames().rawPicture[0], 99);
    // One too short for the layout is passed over without reading past it.
    QByteArray shortPicture = CCameraStreamGenerator::ItemHead(kItemPicture, 100, 0, 108);
    ASSERT_TRUE(Feed(Data({shortPicture})));
    EXPECT_EQ(sink.items.back().kind, ItemKind::Skipped);
}

TEST_F(StreamDecoderTest, ThermalItemHasAFixedSize) {
    CCameraStreamGenerator model3(3);
    QByteArray thermal = model3.thermalItem(4, 0);
    Put<uint32_t>(thermal, 4, 5);  // the length field does not count
    ASSERT_TRUE(Feed(Data({thermal, model3.waveformItem(6, 0)})));
    ASSERT_EQ(sink.items.size(), 2u);
    EXPECT_EQ(sink.items[0].kind, ItemKind::Thermal);
    EXPECT_EQ(sink.items[1].kind, ItemKind::Waveform);
    EXPECT_EQ(decoder.frames().thermal[0] & 0x3FFF, 11000 + 2000);
}

TEST_F(StreamDecoderTest, UnknownItemsAndMessagesAreSkipped) {
    QByteArray unknown = CCameraStreamGenerator::ItemHead(0x99, 10, 0, 18);
    CCameraStreamGenerator model3(3);
    ASSERT_TRUE(
        Feed(Message(0x21, QByteArray(100, 'z')) + Data({unknown, model3.spectrumItem(0, {}, 0)})));
    ASSERT_EQ(sink.items.size(), 2u);
    EXPECT_EQ(sink.items[0].kind, ItemKind::Skipped);
    EXPECT_EQ(sink.items[1].kind, ItemKind::Spectrum);
}

TEST_F(StreamDecoderTest, WaveformShifts) {
    struct Case {
        int model;
        bool statusShift;
        int audioShift;
        int32_t sample;
        int32_t expected;
    } cases[] = {
        {3, false, -3, -17, -3},
        {3, false, -3, 17, 2},
        {3, false, 2, -5, -20},
        {2, true, 0, -1, -32},
        {2, true, -3, 100, 400},
        {2, false, 0, -7, -7},
        {3, true, 0, 9, 9},  // the status shift is model 2's
        // Magnitudes beyond 31 act as 31; the most negative int is not negated.
        {3, false, INT_MIN, -17, -1},
        {3, false, INT_MIN, 17, 0},
        {3, false, -32, -17, -1},
        {3, false, INT_MAX, 3, INT_MIN},
        {2, true, INT_MIN, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.model << " " << c.statusShift << " " << c.audioShift);
        decoder.reset();
        decoder.setAudioShiftSource([&] { return c.audioShift; });
        const uint8_t status[4] = {0, 3, 8, static_cast<uint8_t>(c.statusShift ? 2 : 1)};
        const bool model2 = c.model == 2;
        const uint32_t length = model2 ? kWaveformLength2 : kWaveformLength3;
        QByteArray item = CCameraStreamGenerator::ItemHead(kItemWaveform, length, 0, 8 + length);
        const int first = model2 ? kWaveformOffset2First : kWaveformOffset3;
        for (int i = 0; i < 2048; ++i) {
            Put<int32_t>(item, first + 4 * i, c.sample);
            if (model2) {
                Put<int32_t>(item, kWaveformOffset2Second + 4 * i, c.sample);
            }
        }
        ASSERT_TRUE(Feed(CCameraStreamGenerator::StatusMessage(0, status) + Data({item})));
        const SensorFrames& frames = decoder.frames();
        EXPECT_EQ(frames.waveformBlocks, model2 ? 2 : 1);
        EXPECT_EQ(frames.waveform[0][0], c.expected);
        EXPECT_EQ(frames.waveform[0][2047], c.expected);
        if (model2) {
            EXPECT_EQ(frames.waveform[1][1000], c.expected);
        }
    }
}

TEST_F(StreamDecoderTest, FramingLossCases) {
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    QByteArray pastPayload = CCameraStreamGenerator::ItemHead(kItemSpectrum, 100, 0, 50);
    QByteArray thermalTooLong = CCameraStreamGenerator::ItemHead(kItemThermal, 10, 0, 18);
    const Case cases[] = {
        {"payload beyond the assembly buffer", Header(kIdData, CStreamDecoder::kAssemblyBytes + 1),
         "exceeds the 50331648-byte assembly buffer"},
        {"item past the payload", Message(kIdData, QByteArray(4, '\1') + pastPayload),
         "runs past the 54-byte data message"},
        {"thermal item past the payload", Message(kIdData, QByteArray(4, '\1') + thermalTooLong),
         "runs past"},
        {"count larger than the items",
         Message(kIdData, QByteArray("\2\0\0\0", 4) + pastPayload.left(16)), "item 1 of 2"},
        {"data message without a count", Message(kIdData, QByteArray(3, '\0')),
         "has no item count"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        decoder.reset();
        EXPECT_FALSE(Feed(c.bytes));
        EXPECT_TRUE(decoder.lostReason().contains(QLatin1String(c.reason)))
            << decoder.lostReason().toStdString();
    }
}

TEST_F(StreamDecoderTest, PayloadOfTheFullBufferSizeIsAccepted) {
    const QByteArray header = Header(0x30, CStreamDecoder::kAssemblyBytes);
    decoder.append(header.constData(), header.size());
    EXPECT_EQ(decoder.decodeStep(&sink), CStreamDecoder::Step::Progress);
    EXPECT_EQ(decoder.expectedLength(), CStreamDecoder::kAssemblyBytes);
}

TEST_F(StreamDecoderTest, CorruptedStreamsNeverReadOutsideTheBuffers) {
    CCameraStreamGenerator model3(3);
    CCameraStreamGenerator model2(2);
    const QByteArray valid =
        Data({model3.spectrumItem(1, {}, 0), model3.waveformItem(2, 0), model3.thermalItem(3, 0)}) +
        CCameraStreamGenerator::StatusMessage(4, {0, 3, 8, 2}) +
        Data({model2.acousticMapItem(5, {}), model2.spectrumItem(6, {}, 1)});
    uint32_t seed = 12345;
    const auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes = valid;
        for (int flips = 1 + next() % 8; flips > 0; --flips) {
            bytes[next() % bytes.size()] = static_cast<char>(next());
        }
        decoder.reset();
        int64_t at = 0;
        while (at < bytes.size()) {
            const int chunk = 1 + static_cast<int>(next() % 5120);
            if (!decoder.feed(bytes.constData() + at, std::min<int64_t>(chunk, bytes.size() - at),
                              &sink)) {
                EXPECT_FALSE(decoder.lostReason().isEmpty());
                break;
            }
            at += chunk;
        }
        EXPECT_LE(decoder.fillCount(), CStreamDecoder::kAssemblyBytes + 5120);
    }
}
