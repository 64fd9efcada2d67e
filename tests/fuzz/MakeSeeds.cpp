// Writes the seed corpora of the fuzz targets: make-seeds <corpus folder>. The files are small
// on purpose (model-2 items and short hand-made messages; no 1 MB model-3 picture).

#include "app/Cp949.h"
#include "pantilt/PelcoFrames.h"
#include "remote/ControlFrame.h"
#include "sensor/CameraProtocol.h"
#include "sensor/RunRecording.h"
#include "sensor/StreamDecoder.h"
#include "tools/camera-sim/CameraStreamGenerator.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace camera;

namespace {

// Chunk sizes as CameraStreamFuzz.cpp indexes them.
enum Chunk {
    kChunk1 = 0,
    kChunk3 = 1,
    kChunk7 = 2,
    kChunk12 = 3,
    kChunk100 = 4,
    kChunk1460 = 5,
    kChunk5120 = 6
};

QByteArray CameraControl(int model, Chunk chunk, int audioShift) {
    QByteArray control(2, '\0');
    control[0] = static_cast<char>((model == kModel1280Mosaic ? 1 : 0) | (chunk << 1));
    control[1] = static_cast<char>(audioShift + 31);
    return control;
}

QByteArray Header(uint8_t identifier, uint32_t length) {
    const int size = HeaderBytesFor(identifier);
    QByteArray header(size, '\0');
    header[0] = static_cast<char>(identifier);
    std::memcpy(header.data() + PayloadLengthOffset(size), &length, 4);
    return header;
}

QByteArray Message(uint8_t identifier, const QByteArray& payload) {
    return Header(identifier, static_cast<uint32_t>(payload.size())) + payload;
}

// A Pelco read: its length byte (1 to 255; 0 is a write), then its bytes.
QByteArray Read(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.size() > 255) {
        std::fprintf(stderr, "a read of %lld bytes has no length byte\n",
                     static_cast<long long>(bytes.size()));
        std::abort();
    }
    return QByteArray(1, static_cast<char>(bytes.size())) + bytes;
}

QByteArray Bytes(const PelcoFrame& frame) {
    return QByteArray(reinterpret_cast<const char*>(frame.data()), Pelco::kFrameSize);
}

// The length byte 0: a frame goes to the head, the gathered reply bytes are dropped.
const QByteArray kWrite(1, '\0');

bool Write(const QString& folder, const QString& name, const QByteArray& bytes) {
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    return true;
}

bool CameraSeeds(const QString& folder) {
    const CCameraStreamGenerator model2(kModel320Grey);
    const CCameraStreamGenerator model2Long(kModel320Grey, 1, kSpectrumLength2Long);
    const CCameraStreamGenerator model3(kModel1280Mosaic);
    const SpectrumShape tone{20.0, true, 1000.0, 2000.0, 60.0};
    const AcousticSpot spot{20.0, 12.0, 50.0, 30.0};
    const uint8_t shiftStatus[4] = {0, 3, 8, 2};

    const QByteArray model2Items = CCameraStreamGenerator::DataMessage(
        1, {model2.acousticMapItem(100, spot), model2.spectrumItem(101, tone, 0),
            model2.waveformItem(102, 0)});
    const QByteArray model3Items = CCameraStreamGenerator::DataMessage(
        2, {model3.acousticMapItem(200, spot), model3.spectrumItem(201, tone, 1),
            model3.waveformItem(202, 1)});
    const QByteArray model3Waveform =
        CCameraStreamGenerator::DataMessage(3, {model3.waveformItem(300, 2)});

    // Items shorter than their model's layout, an unknown type and a thermal item cut short by
    // its own message all stay inside the message, so the framing goes on.
    QByteArray shortItems(4, '\0');
    const uint32_t shortCount = 3;
    std::memcpy(shortItems.data(), &shortCount, 4);
    shortItems += CCameraStreamGenerator::ItemHead(kItemPicture, 40, 400, kItemHeaderBytes + 40);
    shortItems += CCameraStreamGenerator::ItemHead(kItemSpectrum, 16, 401, kItemHeaderBytes + 16);
    shortItems += CCameraStreamGenerator::ItemHead(0x0777, 8, 402, kItemHeaderBytes + 8);

    // The count promises two items; the message holds one.
    QByteArray pastEnd = model2.waveformItem(500, 3);
    const uint32_t twoItems = 2;
    pastEnd.prepend(reinterpret_cast<const char*>(&twoItems), 4);

    struct Seed {
        const char* name;
        QByteArray bytes;
    };
    const QList<Seed> seeds = {
        {"model2-map-spectrum-waveform", CameraControl(2, kChunk5120, 0) + model2Items},
        {"model2-picture", CameraControl(2, kChunk1460, 0) + CCameraStreamGenerator::DataMessage(
                                                                 4, {model2.pictureItem(600, 1)})},
        {"model2-thermal-long-spectrum",
         CameraControl(2, kChunk5120, -5) +
             CCameraStreamGenerator::DataMessage(
                 5, {model2.thermalItem(700, 1), model2Long.spectrumItem(701, tone, 2)})},
        {"model3-map-spectrum-waveform", CameraControl(3, kChunk5120, 3) + model3Items},
        {"status-then-model2-waveform",
         CameraControl(2, kChunk7, 0) + CCameraStreamGenerator::StatusMessage(6, shiftStatus) +
             CCameraStreamGenerator::DataMessage(7, {model2.waveformItem(800, 4)})},
        {"long-and-empty-headers", CameraControl(3, kChunk1, 0) + Message(0, QByteArray(5, 'a')) +
                                       Header(6, 0) + Message(0x30, QByteArray(9, 'b')) +
                                       Header(0x41, 0) + Message(kIdData, QByteArray(4, '\0'))},
        {"model3-waveform-split-off",
         CameraControl(3, kChunk3, -31) + model3Waveform.left(model3Waveform.size() / 2)},
        {"short-and-unknown-items", CameraControl(2, kChunk12, 0) + Message(kIdData, shortItems)},
        {"item-past-message-end", CameraControl(2, kChunk100, 0) + Message(kIdData, pastEnd)},
        {"payload-beyond-buffer",
         CameraControl(3, kChunk5120, 0) + Header(kIdData, CStreamDecoder::kAssemblyBytes + 1u)},
    };
    for (const Seed& seed : seeds) {
        if (!Write(folder, QString::fromLatin1(seed.name), seed.bytes)) {
            return false;
        }
    }
    return true;
}

bool PelcoSeeds(const QString& folder) {
    const QByteArray pan = Bytes(PelcoPositionReply(1, Pelco::kPanReply, 18000));
    const QByteArray tilt = Bytes(PelcoPositionReply(1, Pelco::kTiltReply, 4500));
    const QByteArray noise("\x12\x00\x7e\xfe", 4);

    QByteArray many;
    for (int k = 0; k < 40; ++k) {
        many += noise.left(k % 4) +
                Bytes(PelcoPositionReply(static_cast<uint8_t>(k + 1),
                                         k % 2 ? Pelco::kTiltReply : Pelco::kPanReply,
                                         static_cast<uint16_t>(k * 3000)));
    }

    struct Seed {
        const char* name;
        QByteArray bytes;
    };
    const QList<Seed> seeds = {
        {"pan-reply", Read(pan)},
        {"tilt-reply", Read(tilt)},
        {"two-replies-one-read", Read(pan + tilt)},
        {"reply-split-in-three", Read(pan.left(2)) + Read(pan.mid(2, 3)) + Read(pan.mid(5))},
        {"noise-then-reply", Read(noise + tilt) + Read(noise)},
        {"write-drops-partial", Read(pan.left(4)) + kWrite + Read(tilt)},
        {"lost-byte-then-reply", Read(pan.left(6)) + Read(tilt)},
        {"many-replies-long-reads", Read(many.left(255)) + Read(many.mid(255))},
    };
    for (const Seed& seed : seeds) {
        if (!Write(folder, QString::fromLatin1(seed.name), seed.bytes)) {
            return false;
        }
    }
    return true;
}

QByteArray ServerFrame(const QString& xml, int version = 2) {
    QByteArray frame = *EncodeControlFrame(ControlFrame::kServerObjectId, ToCp949(xml), 0);
    frame[4] = static_cast<char>(version);
    return frame;
}

// One read per 255 bytes at most, as the length byte allows.
QByteArray Reads(const QByteArray& bytes) {
    QByteArray out;
    for (qsizetype offset = 0; offset < bytes.size(); offset += 255) {
        out += Read(bytes.mid(offset, 255));
    }
    return out;
}

bool ControlSeeds(const QString& folder) {
    const auto command = [](const char* cmdId, const QString& fields = QString()) {
        return ServerFrame(QStringLiteral("<ELEMENT>\r\n  <CMD_ID>%1</CMD_ID>\r\n%2</ELEMENT>")
                               .arg(QString::fromLatin1(cmdId), fields));
    };
    const QString mission = QStringLiteral("  <MISSION_ID>M-1</MISSION_ID>\r\n");
    const QByteArray start = command(
        "INSPECTION_START", QStringLiteral("  <INSPECTION_ID>7</INSPECTION_ID>\r\n  <ENGINE_ID>"
                                           "엔진-A</ENGINE_ID>\r\n  <SENSOR_INDEX>0</SENSOR_INDEX>"
                                           "\r\n") +
                                mission);
    const QByteArray setPanTilt =
        command("SET_PAN_TILT", QStringLiteral("<PAN>-1</PAN><TILT>330</TILT>") + mission);
    struct Seed {
        const char* name;
        QByteArray bytes;
    };
    const QList<Seed> seeds = {
        {"start", Reads(start)},
        {"stop-and-head", Reads(command("INSPECTION_STOP", mission) + command("TILT_UP") +
                                command("PAN_TILT_STOP", mission))},
        {"positions", Reads(command("SET_PAN", "<PAN>361</PAN>" + mission) +
                            command("SET_TILT", "<TILT>320</TILT>") + setPanTilt +
                            command("GET_PAN_TILT", mission))},
        {"vehicle",
         Reads(command("UGV_INFOR_RESPONSE",
                       QStringLiteral("<UGV_CODE>차량-1</UGV_CODE><UGV_NAME>일</UGV_NAME>")))},
        {"init-and-sync",
         Reads(command("INIT_PAN_TILT") + command("EQUIPMENT_ENGINE_DB_SYNC_RESPONSE"))},
        {"split-frame", Read(start.left(5)) + Read(start.mid(5, 20)) + Reads(start.mid(25))},
        {"bad-headers", Reads(ServerFrame("<ELEMENT/>", 1)) +
                            Reads(QByteArray("\xaa\xbb", 2) + start.mid(2)) + kWrite +
                            Reads(start)},
        {"malformed-xml", Reads(ServerFrame("<ELEMENT><CMD_ID>TILT_UP</ELEMENT>"))},
        {"longest-payload", Reads(ServerFrame(QString(1448, u'x')))},
    };
    for (const Seed& seed : seeds) {
        if (!Write(folder, QString::fromLatin1(seed.name), seed.bytes)) {
            return false;
        }
    }
    return true;
}

bool StreamingSeeds(const QString& folder) {
    struct Seed {
        const char* name;
        QByteArray bytes;
    };
    const QList<Seed> seeds = {
        {"broadcast", "<YELT VERSION=\"1.0\" CMD_ID=\"BROD_CMD_01\"></YELT>"},
        {"two-broadcasts", "<R><YELT VERSION=\"1.0\" CMD_ID=\"BROD_CMD_01\"/><YELT/></R>"},
        {"other-version", "<YELT VERSION=\"1.1\" CMD_ID=\"BROD_CMD_01\"/>"},
        {"not-xml", "<YELT VERSION="},
    };
    for (const Seed& seed : seeds) {
        if (!Write(folder, QString::fromLatin1(seed.name), seed.bytes)) {
            return false;
        }
    }
    return true;
}

bool RecordingSeeds(const QString& folder) {
    RunRecordingHeader header;
    header.cameraModel = 3;
    header.startMsSinceEpoch = 1765400000000;
    header.productName = QStringLiteral("엔진-B2");
    header.sensorName = QStringLiteral("Top");
    header.barcode = QStringLiteral("[Vorn]2026-12-10 22-10-05");
    header.runStamp = QStringLiteral("2026-12-10 22-10-05");
    const QByteArray head = RunRecording::EncodeHeader(header);
    const QByteArray chunks = RunRecording::EncodeChunk(0, QByteArray(40, '\x55')) +
                              RunRecording::EncodeChunk(10000, QByteArray(300, '\x33')) +
                              RunRecording::EncodeChunk(20000, QByteArray());
    struct Seed {
        const char* name;
        QByteArray bytes;
    };
    const QList<Seed> seeds = {
        {"whole", head + chunks},
        {"header-only", head},
        {"cut-in-chunk", (head + chunks).left(head.size() + 30)},
        {"plain-capture", QByteArray(64, '\x2a')},
    };
    for (const Seed& seed : seeds) {
        if (!Write(folder, QString::fromLatin1(seed.name), seed.bytes)) {
            return false;
        }
    }
    return true;
}

// Small model-2 runs: a loud spectrum and spot, joined inside a message, cut inside one.
bool EvaluationSeeds(const QString& folder) {
    CCameraStreamGenerator generator(2);
    RunRecordingHeader header;
    header.cameraModel = 2;
    header.productName = QStringLiteral("SEED");
    header.sensorName = QStringLiteral("Top");
    QByteArray stream;
    SpectrumShape loud;
    loud.toneOn = true;
    loud.toneMinHz = 5000;
    loud.toneMaxHz = 8000;
    loud.toneDb = 80;
    QByteArray file = RunRecording::EncodeHeader(header);
    for (int i = 0; i < 4; ++i) {
        const QByteArray message = CCameraStreamGenerator::DataMessage(
            static_cast<uint8_t>(i), {generator.acousticMapItem(i, AcousticSpot{10, 8, 60, 30}),
                                      generator.spectrumItem(i, loud, i)});
        // The first message is joined at its middle, as a run starts.
        const QByteArray bytes = i == 0 ? message.mid(message.size() / 2) : message;
        file += RunRecording::EncodeChunk(static_cast<uint64_t>(i) * 50000, bytes);
    }
    return Write(folder, QStringLiteral("loud-run"), file) &&
           Write(folder, QStringLiteral("loud-run-cut"), file.left(file.size() - 5000));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString camera = root + QStringLiteral("/camera_stream_fuzz");
    const QString pelco = root + QStringLiteral("/pelco_reply_fuzz");
    const QString control = root + QStringLiteral("/control_command_fuzz");
    const QString streaming = root + QStringLiteral("/streaming_command_fuzz");
    const QString recording = root + QStringLiteral("/run_recording_fuzz");
    const QString evaluation = root + QStringLiteral("/recording_evaluation_fuzz");
    if (!QDir().mkpath(camera) || !QDir().mkpath(pelco) || !QDir().mkpath(control) ||
        !QDir().mkpath(streaming) || !QDir().mkpath(recording) || !QDir().mkpath(evaluation)) {
        std::fprintf(stderr, "cannot create the corpus folders under %s\n", argv[1]);
        return 1;
    }
    return CameraSeeds(camera) && PelcoSeeds(pelco) && ControlSeeds(control) &&
                   StreamingSeeds(streaming) && RecordingSeeds(recording) &&
                   RecordingSeeds(evaluation) && EvaluationSeeds(evaluation)
               ? 0
               : 1;
}
