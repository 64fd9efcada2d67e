// The assembly buffer when payloads are read again as headers: the decoded headers and items are
// exactly those sent, whatever the chunking, and the bytes moved inside the buffer never exceed
// the bytes received (decoding stays linear, however long the payload).

#include "sensor/StreamDecoder.h"
#include "tests/sensor/StreamBytes.h"

#include <QFile>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace stream_bytes;
using namespace camera;

namespace {

struct SeenHeader {
    uint8_t identifier;
    uint8_t sequence;
    uint32_t length;
    bool operator==(const SeenHeader& other) const {
        return std::tie(identifier, sequence, length) ==
               std::tie(other.identifier, other.sequence, other.length);
    }
};

struct StreamLog : StreamDecoderSink {
    void onHeader(uint8_t identifier, uint8_t sequence, uint32_t length) override {
        headers.push_back({identifier, sequence, length});
    }
    void onItem(const ItemInfo& item) override { items.push_back(item); }
    void onStatus() override { ++statuses; }
    void onSkippedPayload(uint8_t identifier, uint32_t length) override {
        skipped.push_back({identifier, 0, length});
    }
    std::vector<SeenHeader> headers;
    std::vector<ItemInfo> items;
    std::vector<SeenHeader> skipped;
    int statuses = 0;
};

// Builds a stream and the headers the decoder must report for it, in order.
class StreamPlan {
  public:
    // A status message whose payload is the 72-byte block followed by `count` zero-length
    // 8-byte headers, numbered through their identifier and sequence bytes; `tail` bytes of the
    // payload follow them (the caller puts a header there).
    void statusCarryingHeaders(int count, int tailBytes = 0) {
        const uint32_t payload = kStatusBlockBytes + 8u * static_cast<uint32_t>(count) +
                                 static_cast<uint32_t>(tailBytes);
        add(Header(kIdStatus, payload, 0x5a));
        bytes.append(kStatusBlockBytes, '\0');
        bytes.reserve(bytes.size() + 8 * count);
        for (int k = 0; k < count; ++k) {
            const auto identifier = static_cast<uint8_t>(0x30 + k % 16);
            const auto sequence = static_cast<uint8_t>(k / 16);
            add(Header(identifier, 0, sequence));
        }
    }
    // A header as the decoder reads it (payload bytes are appended separately).
    void add(const QByteArray& header) {
        const uint8_t identifier = static_cast<uint8_t>(header[0]);
        uint32_t length = 0;
        std::memcpy(&length, header.constData() + PayloadLengthOffset(int(header.size())), 4);
        expected.push_back({identifier, static_cast<uint8_t>(header[1]), length});
        bytes += header;
    }
    void addMessage(const QByteArray& message) {
        add(message.left(HeaderBytesFor(static_cast<uint8_t>(message[0]))));
        bytes += message.mid(HeaderBytesFor(static_cast<uint8_t>(message[0])));
    }

    QByteArray bytes;
    std::vector<SeenHeader> expected;
};

// Index of the first difference, or -1; keeps a failure's output short.
int FirstDifference(const std::vector<SeenHeader>& seen, const std::vector<SeenHeader>& expected) {
    const size_t common = std::min(seen.size(), expected.size());
    for (size_t k = 0; k < common; ++k) {
        if (!(seen[k] == expected[k])) {
            return static_cast<int>(k);
        }
    }
    return seen.size() == expected.size() ? -1 : static_cast<int>(common);
}

long ResidentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return 0;
}

class StreamDecoderBufferTest : public ::testing::Test {
  protected:
    void SetUp() override { decoder.reset(); }
    CStreamDecoder decoder;
    StreamLog log;
};

}  // namespace

TEST_F(StreamDecoderBufferTest, StatusPayloadOfHeadersMovesNoMoreThanItReceived) {
    // 2 MiB of payload: the block, then 8-byte headers to its end.
    constexpr int kHeaders = (2 * 1024 * 1024 - kStatusBlockBytes) / 8;
    StreamPlan plan;
    plan.statusCarryingHeaders(kHeaders);
    CCameraStreamGenerator model3(3, 0);
    plan.addMessage(Data({model3.spectrumItem(77, {}, 0)}));

    ASSERT_TRUE(decoder.feed(plan.bytes.constData(), plan.bytes.size(), &log));
    EXPECT_LE(decoder.movedBytes(), static_cast<uint64_t>(plan.bytes.size()));
    EXPECT_GT(decoder.movedBytes(), 0u) << "the payload ends inside a chunk: its rest is moved";
    ASSERT_EQ(log.headers.size(), plan.expected.size());
    EXPECT_EQ(FirstDifference(log.headers, plan.expected), -1);
    EXPECT_EQ(log.statuses, 1);
    ASSERT_EQ(log.items.size(), 1u);
    EXPECT_EQ(log.items[0].kind, ItemKind::Spectrum);
    EXPECT_EQ(log.items[0].timeStamp, 77u);
    EXPECT_EQ(decoder.fillCount(), 0);
    EXPECT_TRUE(decoder.headerExpected());
    EXPECT_EQ(decoder.expectedLength(), 8);
}

TEST_F(StreamDecoderBufferTest, SameDecodingWhateverTheChunking) {
    // Payloads that end inside a chunk, a 1 MB picture message split over many chunks after the
    // buffer was compacted, and 12-byte headers between them.
    CCameraStreamGenerator model3(3, 0);
    const QByteArray picture = model3.pictureItem(11, 5);
    StreamPlan plan;
    plan.statusCarryingHeaders(8000);
    plan.addMessage(Data({picture, model3.spectrumItem(12, {}, 1)}));
    plan.add(Header(7, 0, 3));
    plan.statusCarryingHeaders(101);
    plan.addMessage(Message(0x21, QByteArray(70001, 'q')));
    plan.addMessage(Data({model3.waveformItem(13, 2)}));
    plan.statusCarryingHeaders(3);

    for (int chunk : {1, 7, 8, 12, 4093, 5119, 5120}) {
        SCOPED_TRACE(chunk);
        decoder.reset();
        log = StreamLog();
        ASSERT_TRUE(decoder.feed(plan.bytes.constData(), plan.bytes.size(), &log, chunk));
        EXPECT_LE(decoder.movedBytes(), static_cast<uint64_t>(plan.bytes.size()));
        EXPECT_EQ(FirstDifference(log.headers, plan.expected), -1);
        EXPECT_EQ(log.statuses, 3);
        EXPECT_EQ(log.skipped, (std::vector<SeenHeader>{{0x21, 0, 70001}}));
        ASSERT_EQ(log.items.size(), 3u);
        EXPECT_EQ(log.items[0].kind, ItemKind::Picture);
        EXPECT_EQ(log.items[1].kind, ItemKind::Spectrum);
        EXPECT_EQ(log.items[2].kind, ItemKind::Waveform);
        EXPECT_EQ(log.items[2].timeStamp, 13u);
        // The pixels come from the right place of the split message.
        EXPECT_EQ(0, std::memcmp(decoder.frames().rawPicture.data(), picture.constData() + 24,
                                 1280 * 800));
        EXPECT_EQ(decoder.fillCount(), 0);
        EXPECT_TRUE(decoder.headerExpected());
    }
}

TEST_F(StreamDecoderBufferTest, LargestPayloadBehindAKeptPrefixThenReset) {
    // The status payload's headers end with one announcing the largest payload; that payload
    // starts inside the status payload, so the consumed headers stay in front of it while it is
    // assembled and the filled region reaches past the buffer's nominal size.
    constexpr int kHeaders = 4096;
    constexpr int kTail = 256 * 1024;
    StreamPlan plan;
    plan.statusCarryingHeaders(kHeaders, 8 + kTail);
    plan.add(Header(0x21, CStreamDecoder::kAssemblyBytes, 9));
    plan.bytes.append(kTail, 'a');
    ASSERT_TRUE(decoder.feed(plan.bytes.constData(), plan.bytes.size(), &log));
    int64_t received = plan.bytes.size();

    const QByteArray block(1024 * 1024, 'b');
    for (int64_t left = CStreamDecoder::kAssemblyBytes - kTail - 1; left > 0;
         left -= block.size()) {
        const int64_t size = std::min<int64_t>(left, block.size());
        ASSERT_TRUE(decoder.feed(block.constData(), size, &log));
        received += size;
    }
    EXPECT_FALSE(decoder.headerExpected()) << "the last byte of the payload is still missing";
    EXPECT_EQ(decoder.fillCount(), CStreamDecoder::kAssemblyBytes - 1);
    EXPECT_EQ(decoder.expectedLength(), CStreamDecoder::kAssemblyBytes);
    CCameraStreamGenerator model3(3, 0);
    const QByteArray last = QByteArray(1, 'b') + Data({model3.spectrumItem(21, {}, 0)});
    plan.add(last.mid(1, 8));
    ASSERT_TRUE(decoder.feed(last.constData(), last.size(), &log));
    received += last.size();

    EXPECT_LE(decoder.movedBytes(), static_cast<uint64_t>(received));
    EXPECT_EQ(FirstDifference(log.headers, plan.expected), -1);
    EXPECT_EQ(log.skipped,
              (std::vector<SeenHeader>{{0x21, 0, uint32_t{CStreamDecoder::kAssemblyBytes}}}));
    ASSERT_EQ(log.items.size(), 1u);
    EXPECT_EQ(log.items[0].timeStamp, 21u);
    EXPECT_EQ(decoder.fillCount(), 0);

    // A reset gives back the pages the message touched, also those past the current fill (half
    // the payload's size leaves room for what the process allocates meanwhile).
    const long before = ResidentKilobytes();
    decoder.reset();
    EXPECT_GE(before - ResidentKilobytes(), CStreamDecoder::kAssemblyBytes / 2 / 1024);
    EXPECT_EQ(decoder.fillCount(), 0);
    EXPECT_EQ(decoder.movedBytes(), 0u);
    EXPECT_TRUE(decoder.headerExpected());
    EXPECT_EQ(decoder.expectedLength(), 8);
    log = StreamLog();
    const QByteArray again = Data({model3.spectrumItem(22, {}, 1)});
    ASSERT_TRUE(decoder.feed(again.constData(), again.size(), &log));
    ASSERT_EQ(log.items.size(), 1u);
    EXPECT_EQ(log.items[0].timeStamp, 22u);
}
