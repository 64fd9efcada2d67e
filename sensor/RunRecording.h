#pragma once
// A run recording: every byte the camera sent during one inspection run, in the chunks it arrived
// in, each with its arrival time after the run's start. Files start with a header that names the
// run; a file without it is a plain capture of the camera's stream (one chunk at time 0).
//
// Layout, little-endian: "ACRUNREC", u16 version (1), u8 camera model, i64 start (ms since
// 1970), then four texts (u16 length + UTF-8): product, sensor, barcode, run stamp. Then chunks:
// u64 arrival (µs after the start), u32 length, the bytes.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

struct RunRecordingHeader {
    int cameraModel = 3;
    qint64 startMsSinceEpoch = 0;
    QString productName;
    QString sensorName;
    QString barcode;
    QString runStamp;
};

struct RunRecordingChunk {
    uint64_t arrival_us = 0;
    QByteArray bytes;
};

namespace RunRecording {

constexpr char kMagic[] = "ACRUNREC";
constexpr int kMagicSize = 8;
constexpr uint16_t kVersion = 1;
// Where the camera model byte lies in the header.
constexpr int kCameraModelOffset = kMagicSize + 2;
// Larger chunks than any read of the camera link are taken as damage.
constexpr uint32_t kMaxChunkBytes = 64u * 1024 * 1024;

QByteArray EncodeHeader(const RunRecordingHeader& header);
QByteArray EncodeChunk(uint64_t arrival_us, const QByteArray& bytes);

}  // namespace RunRecording

// A whole recording read from its bytes. A damaged recording gives the reason and the byte offset
// where reading stopped; the chunks read before it are kept.
struct RunRecordingContents {
    bool plainCapture = false;
    RunRecordingHeader header;
    std::vector<RunRecordingChunk> chunks;
    QString error;
    qint64 errorOffset = -1;

    bool ok() const { return error.isEmpty(); }
    qint64 totalBytes() const;
};

RunRecordingContents ReadRunRecording(const QByteArray& file);

// A run starts while the camera is in the middle of a message, so a recording's first bytes are
// the tail of one. Drops the bytes before the first message a decoder can start at and
// returns how many they were; -1 (nothing changed) when no message starts in the recording.
qint64 SkipToFirstMessage(RunRecordingContents& contents);
// A run also ends inside a message. For a recording that starts at a message, drops the bytes
// after its last whole message (so that a replay can loop) and returns how many they were.
qint64 DropPartialLastMessage(RunRecordingContents& contents);
