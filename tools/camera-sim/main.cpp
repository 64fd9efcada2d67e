// camera-sim: an acoustic camera on loopback for the station, its tests and the demo.
#include "tools/camera-sim/CameraSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStringList>

#include <unistd.h>

#include <csignal>
#include <cstdio>

namespace {

bool ParseNumbers(const QString& text, int count, double* values) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != count) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toDouble(&ok);
        if (!ok) {
            return false;
        }
    }
    return true;
}

int Fail(const QString& message) {
    std::fprintf(stderr, "camera-sim: %s\n", qPrintable(message));
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("camera-sim"));
    std::signal(SIGPIPE, SIG_IGN);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated acoustic camera on 127.0.0.1. It answers the station's start commands and\n"
        "streams pictures, acoustic maps, spectra, waveform, thermal and status messages.\n"
        "Streaming starts with the station's last start command (0x8a) and stops with 0x89.\n"
        "Commands on standard input, one per line: 'close' closes the current connection,\n"
        "'defect' starts the defect scenario now, 'spot COLUMN,ROW' moves the loud spot.\n"
        "Rates are items per second; 0 switches a stream off."));
    parser.addHelpOption();
    const QCommandLineOption port({"p", "port"}, "TCP port (0 = any free port).", "port", "6340");
    const QCommandLineOption model({"m", "model"},
                                   "Camera model: 2 (320x240 grey) or 3 "
                                   "(1280x800 colour mosaic).",
                                   "model", "3");
    const QCommandLineOption spectrumLength(
        "spectrum-length", "Model 2 spectrum item length: 8214 or 8230.", "bytes", "8214");
    const QCommandLineOption pictureRate("picture-rate", "Pictures per second.", "rate", "25");
    const QCommandLineOption mapRate("map-rate", "Acoustic maps per second.", "rate", "25");
    const QCommandLineOption spectrumRate("spectrum-rate", "Spectra per second.", "rate", "100");
    const QCommandLineOption waveformRate("waveform-rate", "Waveform items per second.", "rate",
                                          "25");
    const QCommandLineOption thermalRate("thermal-rate",
                                         "Thermal items per second (model 3 option).", "rate", "0");
    const QCommandLineOption statusRate("status-rate", "Status messages per second.", "rate", "1");
    const QCommandLineOption statusShift("status-shift",
                                         "Status bytes 36..39 = 0 3 8 2 (model 2 sample shift).");
    const QCommandLineOption streamOnConnect("stream-on-connect",
                                             "Stream at once, without waiting for 0x8a.");
    const QCommandLineOption spot("spot", "Loud spot cell of the acoustic map.", "column,row");
    const QCommandLineOption spotLevel("spot-level", "Level of the spot, dB.", "dB", "45");
    const QCommandLineOption mapBackground("map-background", "Acoustic map background, dB.", "dB",
                                           "30");
    const QCommandLineOption spotMove("spot-move", "Move the spot in a circle.");
    const QCommandLineOption background("spectrum-background", "Spectrum background, dB.", "dB",
                                        "20");
    const QCommandLineOption tone("tone", "A constant tone band in the spectrum.", "minHz,maxHz");
    const QCommandLineOption toneLevel("tone-level", "Level of the tone band, dB.", "dB", "60");
    const QCommandLineOption defect(
        "defect",
        "Defect scenario: from START seconds after streaming began, for DURATION seconds, a tone "
        "band MINHZ..MAXHZ in the spectrum and the loud spot at COLUMN,ROW.",
        "start,duration,minHz,maxHz,column,row");
    const QCommandLineOption defectTone("defect-tone-level", "Tone level of the defect, dB.", "dB",
                                        "70");
    const QCommandLineOption defectSpot("defect-spot-level", "Spot level of the defect, dB.", "dB",
                                        "60");
    const QCommandLineOption defectEvery(
        "defect-every", "Repeat the defect scenario this many seconds after each start.", "s");
    const QCommandLineOption closeAfter(
        "close-after-ms", "Close the connection this long after streaming began.", "ms");
    const QCommandLineOption commandLog("command-log",
                                        "Write every received command, one hex line each.", "file");
    const QCommandLineOption record("record",
                                    "Write every byte sent to this file (for "
                                    "camera-dump).",
                                    "file");
    const QCommandLineOption replay(
        "replay",
        "Serve this run recording of the station (or a --record capture) instead of generated "
        "items, at the pace it was recorded, once the station starts the stream.",
        "file");
    const QCommandLineOption loop("loop", "With --replay: start the recording again at its end.");
    parser.addOptions({replay, loop});
    parser.addOptions({port,       model,         spectrumLength,  pictureRate,
                       mapRate,    spectrumRate,  waveformRate,    thermalRate,
                       statusRate, statusShift,   streamOnConnect, spot,
                       spotLevel,  mapBackground, spotMove,        background,
                       tone,       toneLevel,     defect,          defectTone,
                       defectSpot, defectEvery,   closeAfter,      commandLog,
                       record});
    parser.process(app);

    SimulatorOptions options;
    options.port = static_cast<quint16>(parser.value(port).toUInt());
    options.model = parser.value(model).toInt();
    if (options.model != 2 && options.model != 3) {
        return Fail(QStringLiteral("the model is 2 or 3"));
    }
    options.spectrumLength = parser.value(spectrumLength).toUInt();
    options.pictureRate = parser.value(pictureRate).toDouble();
    options.mapRate = parser.value(mapRate).toDouble();
    options.spectrumRate = parser.value(spectrumRate).toDouble();
    options.waveformRate = parser.value(waveformRate).toDouble();
    options.thermalRate = parser.value(thermalRate).toDouble();
    options.statusRate = parser.value(statusRate).toDouble();
    options.statusShift = parser.isSet(statusShift);
    options.streamOnConnect = parser.isSet(streamOnConnect);
    options.spot.levelDb = parser.value(spotLevel).toDouble();
    options.spot.backgroundDb = parser.value(mapBackground).toDouble();
    if (parser.isSet(spot)) {
        double cell[2];
        if (!ParseNumbers(parser.value(spot), 2, cell)) {
            return Fail(QStringLiteral("--spot takes column,row"));
        }
        options.spot.column = cell[0];
        options.spot.row = cell[1];
        options.spotDefault = false;
    }
    options.spotMoves = parser.isSet(spotMove);
    options.spectrum.backgroundDb = parser.value(background).toDouble();
    if (parser.isSet(tone)) {
        double band[2];
        if (!ParseNumbers(parser.value(tone), 2, band)) {
            return Fail(QStringLiteral("--tone takes minHz,maxHz"));
        }
        options.spectrum.toneOn = true;
        options.spectrum.toneMinHz = band[0];
        options.spectrum.toneMaxHz = band[1];
        options.spectrum.toneDb = parser.value(toneLevel).toDouble();
    }
    if (parser.isSet(defect)) {
        double values[6];
        if (!ParseNumbers(parser.value(defect), 6, values)) {
            return Fail(QStringLiteral("--defect takes start,duration,minHz,maxHz,column,row"));
        }
        options.defectOn = true;
        options.defectStartS = values[0];
        options.defectDurationS = values[1];
        options.defectMinHz = values[2];
        options.defectMaxHz = values[3];
        options.defectColumn = values[4];
        options.defectRow = values[5];
        options.defectToneDb = parser.value(defectTone).toDouble();
        options.defectSpotDb = parser.value(defectSpot).toDouble();
        if (parser.isSet(defectEvery)) {
            options.defectPeriodS = parser.value(defectEvery).toDouble();
            if (options.defectPeriodS <= options.defectDurationS) {
                return Fail(QStringLiteral("--defect-every must exceed the defect's duration"));
            }
        }
    }
    if (parser.isSet(closeAfter)) {
        options.closeAfterMs = parser.value(closeAfter).toInt();
    }
    options.commandLogPath = parser.value(commandLog);
    options.recordPath = parser.value(record);
    options.replayPath = parser.value(replay);
    options.replayLoop = parser.isSet(loop);

    CCameraSimulator simulator(options);
    QString replayError;
    if (!options.replayPath.isEmpty() && !simulator.loadReplay(&replayError)) {
        return Fail(QStringLiteral("cannot replay %1: %2").arg(options.replayPath, replayError));
    }
    if (!simulator.listen()) {
        return Fail(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(options.port));
    }
    std::fprintf(stdout, "camera-sim: listening on 127.0.0.1:%u (model %d)\n", simulator.port(),
                 options.model);
    std::fflush(stdout);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray console;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof(buffer));
        if (n <= 0) {
            input.setEnabled(false);  // no console: keep running
            return;
        }
        console.append(buffer, n);
        qsizetype end;
        while ((end = console.indexOf('\n')) >= 0) {
            const QString line = QString::fromLatin1(console.left(end));
            console.remove(0, end + 1);
            if (!simulator.runConsoleCommand(line)) {
                std::fprintf(stderr, "camera-sim: unknown command '%s'\n", qPrintable(line));
            }
        }
    });
    return app.exec();
}
