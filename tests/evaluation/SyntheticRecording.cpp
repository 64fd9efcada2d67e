#include "tests/evaluation/SyntheticRecording.h"

#include "sensor/RunRecording.h"
#include "tools/camera-sim/CameraStreamGenerator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

QByteArray SyntheticRecording(const SyntheticRun& run) {
    CCameraStreamGenerator generator(run.model);
    // Items per message time in microseconds; a message carries every item due at its time.
    std::map<uint64_t, QList<QByteArray>> due;
    const auto schedule = [&](int rate, const auto& make) {
        for (int i = 0; rate > 0 && i < run.seconds * rate; ++i) {
            const uint64_t at = static_cast<uint64_t>(std::llround(1e6 * i / rate)) + 3000;
            due[at] << make(at, i);
        }
    };
    const auto defectAt = [&](uint64_t at) { return run.defect && at >= run.defectFrom_s * 1e6; };
    schedule(run.pictureRate, [&](uint64_t at, int i) { return generator.pictureItem(at, i); });
    schedule(run.mapRate, [&](uint64_t at, int) {
        AcousticSpot spot{run.spotColumn, run.spotRow, defectAt(at) ? 60.0 : 45.0, 30.0};
        return generator.acousticMapItem(at, spot);
    });
    schedule(run.spectrumRate, [&](uint64_t at, int i) {
        SpectrumShape shape;
        shape.toneOn = defectAt(at);
        shape.toneMinHz = 5000;
        shape.toneMaxHz = 8000;
        shape.toneDb = run.toneDb;
        return generator.spectrumItem(at, shape, i);
    });

    RunRecordingHeader header;
    header.cameraModel = run.model;
    header.startMsSinceEpoch = 1765400000000;
    header.productName = run.productName;
    header.sensorName = run.sensorName;
    header.barcode = QStringLiteral("[Vorn]2026-12-11 10-00-00");
    header.runStamp = QStringLiteral("2026-12-11 10-00-00");
    QByteArray file = RunRecording::EncodeHeader(header);
    if (run.startInsideMessage) {
        // The last 3000 bytes of a message sent before the run began.
        const QByteArray before = CCameraStreamGenerator::DataMessage(
            200, {generator.spectrumItem(0, SpectrumShape{}, 0)});
        file += RunRecording::EncodeChunk(1000, before.right(3000));
    }
    constexpr qsizetype kChunk = 4096;
    uint8_t sequence = 0;
    for (const auto& [at, items] : due) {
        const QByteArray message = CCameraStreamGenerator::DataMessage(sequence++, items);
        for (qsizetype offset = 0; offset < message.size(); offset += kChunk) {
            file += RunRecording::EncodeChunk(at, message.mid(offset, kChunk));
        }
    }
    return file;
}

CEvaluationSettings JudgedSettings() {
    CEvaluationSettings settings;
    const char* assignments[] = {"product_name=SYN-1",
                                 "sensor_type=Top",
                                 "inspection_mode=1",
                                 "acoustic_level=30",
                                 "area_mode=0",
                                 "area_line_1=10",
                                 "area_line_2=309",
                                 "area_rect_x1=10",
                                 "area_rect_y1=10",
                                 "area_rect_x2=309",
                                 "area_rect_y2=229",
                                 "filter_01_enable=1",
                                 "filter_01_freq_min=5000",
                                 "filter_01_freq_max=6000",
                                 "filter_01_inspection_level=75",
                                 "filter_02_enable=1",
                                 "filter_02_freq_min=6500",
                                 "filter_02_freq_max=8000",
                                 "filter_02_inspection_level=75",
                                 "reserved_int_01=100",
                                 "reserved_int_02=2",
                                 "time=5"};
    for (const char* assignment : assignments) {
        QString error;
        EXPECT_TRUE(settings.SetAssignment(QString::fromLatin1(assignment), &error))
            << error.toStdString();
    }
    return settings;
}
