// A run recording file as the offline tools read it: any bytes give either the chunks or a
// reason with the offset where reading stopped, never more bytes than the file holds.

#include "sensor/RunRecording.h"
#include "tests/fuzz/FuzzChecks.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const RunRecordingContents contents = ReadRunRecording(file);
    fuzz::Check(contents.totalBytes() <= static_cast<qint64>(size));
    if (!contents.ok()) {
        fuzz::Check(!contents.plainCapture);
        fuzz::Check(contents.errorOffset >= 0 && contents.errorOffset <= static_cast<qint64>(size));
    }
    uint64_t previous = 0;
    for (const RunRecordingChunk& chunk : contents.chunks) {
        fuzz::Check(chunk.arrival_us >= previous);
        previous = chunk.arrival_us;
        fuzz::Keep(static_cast<uint64_t>(chunk.bytes.size()));
    }
    // A whole recording whose texts are valid UTF-8 is written back byte for byte.
    if (contents.ok() && !contents.plainCapture) {
        QByteArray again = RunRecording::EncodeHeader(contents.header);
        for (const RunRecordingChunk& chunk : contents.chunks) {
            again += RunRecording::EncodeChunk(chunk.arrival_us, chunk.bytes);
        }
        const bool textsExact = again.size() == file.size() ||
                                contents.header.productName.contains(QChar(0xFFFD)) ||
                                contents.header.sensorName.contains(QChar(0xFFFD)) ||
                                contents.header.barcode.contains(QChar(0xFFFD)) ||
                                contents.header.runStamp.contains(QChar(0xFFFD));
        fuzz::Check(textsExact);
        if (again.size() == file.size()) {
            fuzz::Keep(static_cast<uint64_t>(again == file));
        }
    }
    return 0;
}
