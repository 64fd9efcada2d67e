#include "sensor/RunRecording.h"

#include "sensor/CameraProtocol.h"

#include <algorithm>

namespace {

template <typename T>
void Put(QByteArray& out, T value) {
    for (size_t i = 0; i < sizeof(T); ++i) {
        out.append(static_cast<char>((static_cast<uint64_t>(value) >> (8 * i)) & 0xFF));
    }
}

void PutText(QByteArray& out, const QString& text) {
    QByteArray utf8 = text.toUtf8();
    utf8.truncate(0xFFFF);
    Put<uint16_t>(out, static_cast<uint16_t>(utf8.size()));
    out.append(utf8);
}

// Bounds-checked reads from the front of a byte array.
class Cursor {
  public:
    explicit Cursor(const QByteArray& bytes) : m_bytes(bytes) {}
    qint64 offset() const { return m_offset; }
    qint64 left() const { return m_bytes.size() - m_offset; }
    bool atEnd() const { return left() == 0; }

    template <typename T>
    std::optional<T> take() {
        if (left() < static_cast<qint64>(sizeof(T))) {
            return std::nullopt;
        }
        uint64_t value = 0;
        for (size_t i = 0; i < sizeof(T); ++i) {
            value |= static_cast<uint64_t>(static_cast<uint8_t>(m_bytes[m_offset + i])) << (8 * i);
        }
        m_offset += sizeof(T);
        return static_cast<T>(value);
    }
    std::optional<QByteArray> takeBytes(qint64 count) {
        if (count < 0 || left() < count) {
            return std::nullopt;
        }
        QByteArray bytes = m_bytes.mid(m_offset, count);
        m_offset += count;
        return bytes;
    }
    std::optional<QString> takeText() {
        const auto length = take<uint16_t>();
        if (!length) {
            return std::nullopt;
        }
        const auto bytes = takeBytes(*length);
        if (!bytes) {
            return std::nullopt;
        }
        return QString::fromUtf8(*bytes);
    }

  private:
    const QByteArray& m_bytes;
    qint64 m_offset = 0;
};

}  // namespace

namespace RunRecording {

QByteArray EncodeHeader(const RunRecordingHeader& header) {
    QByteArray out(kMagic, kMagicSize);
    Put<uint16_t>(out, kVersion);
    Put<uint8_t>(out, static_cast<uint8_t>(header.cameraModel));
    Put<int64_t>(out, header.startMsSinceEpoch);
    PutText(out, header.productName);
    PutText(out, header.sensorName);
    PutText(out, header.barcode);
    PutText(out, header.runStamp);
    return out;
}

QByteArray EncodeChunk(uint64_t arrival_us, const QByteArray& bytes) {
    QByteArray out;
    out.reserve(12 + bytes.size());
    Put<uint64_t>(out, arrival_us);
    Put<uint32_t>(out, static_cast<uint32_t>(bytes.size()));
    out.append(bytes);
    return out;
}

}  // namespace RunRecording

qint64 RunRecordingContents::totalBytes() const {
    qint64 total = 0;
    for (const RunRecordingChunk& chunk : chunks) {
        total += chunk.bytes.size();
    }
    return total;
}

RunRecordingContents ReadRunRecording(const QByteArray& file) {
    RunRecordingContents contents;
    if (!file.startsWith(QByteArray(RunRecording::kMagic, RunRecording::kMagicSize))) {
        contents.plainCapture = true;
        contents.chunks.push_back({0, file});
        return contents;
    }
    Cursor cursor(file);
    const auto fail = [&](const QString& reason) {
        contents.error = reason;
        contents.errorOffset = cursor.offset();
        return contents;
    };
    cursor.takeBytes(RunRecording::kMagicSize);
    const auto version = cursor.take<uint16_t>();
    if (!version) {
        return fail(QStringLiteral("the header is cut short"));
    }
    if (*version != RunRecording::kVersion) {
        return fail(QStringLiteral("recording version %1 is not known (this tool reads %2)")
                        .arg(*version)
                        .arg(RunRecording::kVersion));
    }
    const auto model = cursor.take<uint8_t>();
    const auto start = cursor.take<int64_t>();
    std::optional<QString> texts[4];
    for (auto& text : texts) {
        if (model && start) {
            text = cursor.takeText();
        }
    }
    if (!model || !start || !texts[0] || !texts[1] || !texts[2] || !texts[3]) {
        return fail(QStringLiteral("the header is cut short"));
    }
    contents.header = {*model, *start, *texts[0], *texts[1], *texts[2], *texts[3]};
    uint64_t previous = 0;
    while (!cursor.atEnd()) {
        const qint64 chunkStart = cursor.offset();
        const auto arrival = cursor.take<uint64_t>();
        const auto length = cursor.take<uint32_t>();
        if (!arrival || !length) {
            return fail(QStringLiteral("chunk %1 is cut short in its header (at byte %2)")
                            .arg(contents.chunks.size() + 1)
                            .arg(chunkStart));
        }
        if (*length > RunRecording::kMaxChunkBytes) {
            return fail(QStringLiteral("chunk %1 claims %2 bytes, more than a read can hold")
                            .arg(contents.chunks.size() + 1)
                            .arg(*length));
        }
        if (*arrival < previous) {
            return fail(QStringLiteral("chunk %1 arrived before the one it follows")
                            .arg(contents.chunks.size() + 1));
        }
        auto bytes = cursor.takeBytes(*length);
        if (!bytes) {
            return fail(QStringLiteral("chunk %1 is cut short: %2 bytes announced, %3 left")
                            .arg(contents.chunks.size() + 1)
                            .arg(*length)
                            .arg(cursor.left()));
        }
        previous = *arrival;
        contents.chunks.push_back({*arrival, std::move(*bytes)});
    }
    return contents;
}

qint64 SkipToFirstMessage(RunRecordingContents& contents) {
    // The chunks are joined only as far as the search needs; a start lies within a message.
    constexpr qint64 kHeadBytes = 20;  // what FindMessageStart reads past a start
    QByteArray joined;
    qint64 searched = 0;
    qint64 start = -1;
    for (const RunRecordingChunk& chunk : contents.chunks) {
        joined.append(chunk.bytes);
        const qint64 from = std::max<qint64>(0, searched - kHeadBytes);
        const qsizetype found =
            camera::FindMessageStart(joined.constData() + from, joined.size() - from);
        if (found >= 0) {
            start = from + found;
            break;
        }
        searched = joined.size();
    }
    if (start < 0) {
        return -1;
    }
    qint64 left = start;
    auto chunk = contents.chunks.begin();
    while (chunk != contents.chunks.end() && left >= chunk->bytes.size()) {
        left -= chunk->bytes.size();
        ++chunk;
    }
    chunk = contents.chunks.erase(contents.chunks.begin(), chunk);
    if (chunk != contents.chunks.end() && left > 0) {
        chunk->bytes.remove(0, static_cast<qsizetype>(left));
    }
    return start;
}

qint64 DropPartialLastMessage(RunRecordingContents& contents) {
    const qint64 total = contents.totalBytes();
    // Reads across chunk borders without joining them: the chunk cursor only moves forward.
    std::size_t chunk = 0;
    qint64 chunkStart = 0;
    const auto byteAt = [&](qint64 offset) {
        while (offset >= chunkStart + contents.chunks[chunk].bytes.size()) {
            chunkStart += contents.chunks[chunk].bytes.size();
            ++chunk;
        }
        return static_cast<uint8_t>(contents.chunks[chunk].bytes[offset - chunkStart]);
    };
    qint64 whole = 0;
    for (;;) {
        if (whole + camera::kShortHeaderBytes > total) {
            break;
        }
        const int headerBytes = camera::HeaderBytesFor(byteAt(whole));
        if (whole + headerBytes > total) {
            break;
        }
        const qint64 at = whole + camera::PayloadLengthOffset(headerBytes);
        uint32_t length = 0;
        for (int i = 0; i < 4; ++i) {
            length |= static_cast<uint32_t>(byteAt(at + i)) << (8 * i);
        }
        if (whole + headerBytes + static_cast<qint64>(length) > total) {
            break;
        }
        whole += headerBytes + static_cast<qint64>(length);
    }
    qint64 drop = total - whole;
    const qint64 dropped = drop;
    while (drop > 0 && !contents.chunks.empty()) {
        QByteArray& last = contents.chunks.back().bytes;
        if (last.size() <= drop) {
            drop -= last.size();
            contents.chunks.pop_back();
        } else {
            last.chop(static_cast<qsizetype>(drop));
            drop = 0;
        }
    }
    return dropped;
}
