// station-evaluate: judges run recordings again with a product's settings, through the station's
// own decoding and evaluation, and sweeps one setting to find where good and bad runs separate.
#include "app/ConfigStore.h"
#include "app/StationConfig.h"
#include "evaluation/EvaluationSettings.h"
#include "evaluation/RecordingEvaluator.h"
#include "evaluation/SweepSeparation.h"
#include "storage/DbProfile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

constexpr int kExitBadArguments = 1;
constexpr int kExitDamagedRecording = 3;
constexpr qint64 kHeaderProbeBytes = 64 * 1024;

struct Recording {
    QString path;
    RecordingLabel label = RecordingLabel::Unlabelled;
};

struct Output {
    bool csv = false;
    bool trace = false;
    int plainModel = 3;
};

int Fail(const QString& text) {
    std::fprintf(stderr, "station-evaluate: %s\n", qPrintable(text));
    return kExitBadArguments;
}

QString StationConfigPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + '/' +
           QString::fromUtf8(ConfigStore::kCompanyKey) + QStringLiteral("/acoustic-station.conf");
}

QString CsvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"'))) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return '"' + quoted + '"';
}

std::optional<RunRecordingContents> ReadRecording(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read: %1").arg(file.errorString());
        return std::nullopt;
    }
    if (file.size() == 0) {
        return ReadRunRecording(QByteArray());
    }
    // Mapped, not read: a recording of a full-rate camera runs to hundreds of megabytes, and only
    // its chunks need to be in memory.
    uchar* mapped = file.map(0, file.size());
    if (mapped == nullptr) {
        return ReadRunRecording(file.readAll());
    }
    RunRecordingContents contents = ReadRunRecording(QByteArray::fromRawData(
        reinterpret_cast<const char*>(mapped), static_cast<qsizetype>(file.size())));
    file.unmap(mapped);
    return contents;
}

QString ProductOfRecording(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    return ReadRunRecording(file.read(kHeaderProbeBytes)).header.productName;
}

// A file, or every .rec file below a folder (sorted). Recordings of other products found in
// folders are left out when `product` is given.
bool AddRecordings(const QString& path, std::optional<RecordingLabel> label, const QString& product,
                   std::vector<Recording>& recordings, int* otherProducts) {
    const QFileInfo info(path);
    if (!info.exists()) {
        std::fprintf(stderr, "station-evaluate: %s does not exist\n", qPrintable(path));
        return false;
    }
    if (!info.isDir()) {
        recordings.push_back({path, label ? *label : LabelFromFolders(info.absoluteFilePath())});
        return true;
    }
    QStringList files;
    QDirIterator it(path, {QStringLiteral("*.rec")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << it.next();
    }
    files.sort();
    for (const QString& file : files) {
        // A file whose header names no product (unreadable, or a plain capture) is kept, so
        // that it is judged or its damage reported rather than left out unseen.
        const QString recorded = ProductOfRecording(file);
        if (!product.isEmpty() && !recorded.isEmpty() && recorded != product) {
            ++*otherProducts;
            continue;
        }
        recordings.push_back(
            {file, label ? *label : LabelFromFolders(QFileInfo(file).absoluteFilePath())});
    }
    return true;
}

QString FilterMarks(const std::array<int, kFilterCount>& hits) {
    QString marks;
    for (int n = 0; n < kFilterCount; ++n) {
        marks += QStringLiteral(" [%1]%2").arg(n + 1).arg(hits[n] > 0 ? 'O' : 'X');
    }
    return marks.mid(1);
}

RecordingVerdict Judge(CRecordingEvaluator& evaluator, const Recording& recording,
                       const CEvaluationSettings& settings, const CRecordingEvaluator::Trace& trace,
                       int plainModel) {
    QString error;
    const std::optional<RunRecordingContents> contents = ReadRecording(recording.path, &error);
    if (!contents) {
        RecordingVerdict verdict;
        verdict.error = error;
        return verdict;
    }
    return evaluator.Evaluate(*contents, settings.Sensor(), settings.InspectionTime(), trace,
                              plainModel);
}

QString VerdictWord(const RecordingVerdict& verdict) {
    if (!verdict.ok()) {
        return QStringLiteral("error");
    }
    return verdict.ng ? QStringLiteral("NG") : QStringLiteral("OK");
}

void ReportError(const Recording& recording, const RecordingVerdict& verdict) {
    std::fprintf(stderr, "station-evaluate: %s: %s\n", qPrintable(recording.path),
                 qPrintable(verdict.error));
}

int JudgeAll(const std::vector<Recording>& recordings, const CEvaluationSettings& settings,
             const Output& output) {
    CRecordingEvaluator evaluator;
    int status = 0;
    if (output.csv) {
        std::printf(
            "recording,label,verdict,ng_time_s,peak_db,counted,lpass_limit,spectra,error\n");
    } else {
        std::printf("verdict  ng_time_s  peak_db  counted  spectra  label  recording\n");
    }
    for (const Recording& recording : recordings) {
        std::vector<CountedSpectrum> counted;
        const RecordingVerdict verdict = Judge(
            evaluator, recording, settings,
            [&](const CountedSpectrum& spectrum) { counted.push_back(spectrum); },
            output.plainModel);
        if (!verdict.ok()) {
            status = kExitDamagedRecording;
            ReportError(recording, verdict);
        }
        if (output.csv) {
            std::printf("%s,%s,%s,%.2f,%.1f,%d,%d,%d,%s\n", qPrintable(CsvField(recording.path)),
                        LabelName(recording.label), qPrintable(VerdictWord(verdict)),
                        verdict.ngTime_s, verdict.peakLevel, verdict.counted, verdict.lpassLimit,
                        verdict.spectra, qPrintable(CsvField(verdict.error)));
        } else {
            const QString ngTime =
                verdict.ng ? QString::number(verdict.ngTime_s, 'f', 2) : QStringLiteral("-");
            const QString peak =
                verdict.ng ? QString::number(verdict.peakLevel, 'f', 1) : QStringLiteral("-");
            std::printf(
                "%-7s  %9s  %7s  %7s  %7d  %-5s  %s\n", qPrintable(VerdictWord(verdict)),
                qPrintable(ngTime), qPrintable(peak),
                qPrintable(QStringLiteral("%1/%2").arg(verdict.counted).arg(verdict.lpassLimit)),
                verdict.spectra, LabelName(recording.label), qPrintable(recording.path));
            if (!verdict.judgedAsTop) {
                std::printf("         not judged: the run was of the \"Bottom\" position\n");
            }
        }
        if (output.trace) {
            for (const CountedSpectrum& spectrum : counted) {
                if (output.csv) {
                    std::printf("# counted,%.3f,%d,%s,%.1f\n", spectrum.time_s, spectrum.count,
                                qPrintable(FilterMarks(spectrum.filterHits)), spectrum.peakLevel);
                } else {
                    std::printf("         counted at %.3f s  L.Pass %d/%d  %s  peak %.1f dB\n",
                                spectrum.time_s, spectrum.count, verdict.lpassLimit,
                                qPrintable(FilterMarks(spectrum.filterHits)), spectrum.peakLevel);
                }
            }
        }
    }
    return status;
}

int Sweep(const std::vector<Recording>& recordings, const CEvaluationSettings& base,
          const SweepSpec& sweep, const Output& output) {
    const std::vector<int> values = sweep.Values();
    std::vector<RecordingLabel> labels;
    for (const Recording& recording : recordings) {
        labels.push_back(recording.label);
    }
    const bool showProgress = !output.csv && isatty(STDERR_FILENO);
    if (output.csv) {
        std::printf("column,value,recording,label,verdict,ng_time_s,peak_db,separates\n");
    } else {
        std::printf("recordings:\n");
        for (std::size_t i = 0; i < recordings.size(); ++i) {
            std::printf("  [%zu] %-4s %s\n", i + 1, LabelName(recordings[i].label),
                        qPrintable(recordings[i].path));
        }
        QString header = QStringLiteral("%1").arg(sweep.column, -26);
        for (std::size_t i = 0; i < recordings.size(); ++i) {
            header += QStringLiteral(" %1").arg(QStringLiteral("[%1]").arg(i + 1), -5);
        }
        std::printf("%s separates\n", qPrintable(header));
    }
    // Recording by recording, so that one recording at a time is in memory.
    CRecordingEvaluator evaluator;
    std::vector<std::vector<RecordingVerdict>> verdicts(values.size());
    int status = 0;
    for (std::size_t r = 0; r < recordings.size(); ++r) {
        if (showProgress) {
            std::fprintf(stderr, "\rsweep: recording %zu of %zu...", r + 1, recordings.size());
        }
        QString error;
        const std::optional<RunRecordingContents> contents =
            ReadRecording(recordings[r].path, &error);
        for (std::size_t v = 0; v < values.size(); ++v) {
            CEvaluationSettings settings = base;
            settings.Set(sweep.column, QString::number(values[v]), &error);
            RecordingVerdict verdict;
            if (contents) {
                verdict =
                    evaluator.Evaluate(*contents, settings.Sensor(), settings.InspectionTime());
            } else {
                verdict.error = error;
            }
            verdicts[v].push_back(verdict);
        }
        if (!verdicts.front().back().ok()) {
            status = kExitDamagedRecording;
            ReportError(recordings[r], verdicts.front().back());
        }
    }
    if (showProgress) {
        std::fprintf(stderr, "\r\033[K");
    }
    std::vector<bool> separating;
    for (std::size_t v = 0; v < values.size(); ++v) {
        std::vector<bool> ng;
        for (const RecordingVerdict& verdict : verdicts[v]) {
            ng.push_back(verdict.ng);
        }
        const bool separates = Separates(ng, labels);
        separating.push_back(separates);
        if (output.csv) {
            for (std::size_t i = 0; i < recordings.size(); ++i) {
                std::printf("%s,%d,%s,%s,%s,%.2f,%.1f,%s\n", qPrintable(sweep.column), values[v],
                            qPrintable(CsvField(recordings[i].path)), LabelName(labels[i]),
                            qPrintable(VerdictWord(verdicts[v][i])), verdicts[v][i].ngTime_s,
                            verdicts[v][i].peakLevel, separates ? "yes" : "no");
            }
        } else {
            QString line = QStringLiteral("%1").arg(QString::number(values[v]), -26);
            for (const RecordingVerdict& verdict : verdicts[v]) {
                line += QStringLiteral(" %1").arg(VerdictWord(verdict), -5);
            }
            std::printf("%s %s\n", qPrintable(line), separates ? "yes" : "");
        }
    }
    const QString ranges = SeparatingRanges(values, separating);
    const bool labelled = std::count(labels.begin(), labels.end(), RecordingLabel::Good) > 0 &&
                          std::count(labels.begin(), labels.end(), RecordingLabel::Bad) > 0;
    std::FILE* summary = output.csv ? stderr : stdout;
    if (!labelled) {
        std::fprintf(summary,
                     "no separating range: the sweep needs good and bad recordings (a PASS or NG "
                     "folder, or --good and --bad)\n");
    } else if (ranges.isEmpty()) {
        std::fprintf(summary,
                     "no value of %s in %d..%d separates the good from the bad recordings\n",
                     qPrintable(sweep.column), sweep.from, sweep.to);
    } else {
        std::fprintf(summary, "separating range: %s = %s\n", qPrintable(sweep.column),
                     qPrintable(ranges));
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Qt takes the session's locale; the tables and CSV rows always write "1.10", never "1,10".
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setApplicationName(QStringLiteral("station-evaluate"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Judges run recordings of the station again, through the station's own decoding and\n"
        "evaluation (spot check, inspection area, focus window, L.Pass limit), with a product's\n"
        "settings from the bridge database or from a settings file, and prints per recording\n"
        "the verdict, the NG time and the peak level as the station records them.\n"
        "A recording in a PASS folder is labelled good, one in an NG folder bad; --good and\n"
        "--bad label others. A folder stands for every .rec file below it.\n"
        "A plain capture (camera-sim --record) has no arrival times: all of it is judged at\n"
        "run time 0, as the camera model of --model.\n"
        "Exit status: 0 judged, 1 bad arguments or settings, 3 a recording unreadable or\n"
        "damaged (the others are still judged)."));
    parser.addHelpOption();
    const QCommandLineOption product("product",
                                     "Settings of this product from the bridge database.", "name");
    const QCommandLineOption settingsFile("settings",
                                          "Settings from this file (column=value lines).", "file");
    const QCommandLineOption writeSettings(
        "write-settings", "Write the settings in force (after --set) to this file.", "file");
    const QCommandLineOption dbHost(
        "db-host", "Bridge database server (default: the station's configured one).", "host");
    const QCommandLineOption dbPassword("db-password", "Bridge database password.", "password");
    const QCommandLineOption stationConfig(
        "station-config", "The station's settings file to take the bridge server from.", "file",
        StationConfigPath());
    const QCommandLineOption set(
        "set",
        "Override one column (repeatable). inspection_level=N sets all five filters' "
        "inspection levels; time=N the inspection time.",
        "column=value");
    const QCommandLineOption sweep(
        "sweep",
        "Judge every recording for every value of a column and print the values that separate "
        "the good recordings from the bad ones.",
        "column=FROM..TO:STEP");
    const QCommandLineOption good("good", "A good recording (or a folder of them).", "path");
    const QCommandLineOption bad("bad", "A bad recording (or a folder of them).", "path");
    const QCommandLineOption allProducts(
        "all-products", "Take every recording found in folders, not only the settings' product's.");
    const QCommandLineOption trace("trace", "Print each spectrum that counted towards L.Pass.");
    const QCommandLineOption csv("csv", "Comma-separated output for spreadsheets.");
    const QCommandLineOption model("model", "Camera model of plain captures (2 or 3, default 3).",
                                   "model", QStringLiteral("3"));
    parser.addOptions({product, settingsFile, writeSettings, dbHost, dbPassword, stationConfig, set,
                       sweep, good, bad, allProducts, trace, csv, model});
    parser.addPositionalArgument(QStringLiteral("recordings"),
                                 QStringLiteral("Run recordings (.rec) or folders of them."),
                                 QStringLiteral("[RECORDING...]"));
    if (!parser.parse(QCoreApplication::arguments())) {
        return Fail(parser.errorText());
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }

    std::optional<CEvaluationSettings> settings;
    QString error;
    if (parser.isSet(product) == parser.isSet(settingsFile)) {
        return Fail(
            QStringLiteral("give the settings with either --product or --settings (see --help)"));
    }
    if (parser.isSet(product)) {
        StationConfig config;
        if (QFileInfo::exists(parser.value(stationConfig))) {
            ConfigStore(parser.value(stationConfig)).load(config);
        }
        const QString host = parser.isSet(dbHost) ? parser.value(dbHost) : config.Bridge_db_server;
        const QString password =
            parser.isSet(dbPassword) ? parser.value(dbPassword) : config.Bridge_db_server_pw;
        settings = CEvaluationSettings::Load(BridgeDbProfile(host, password), parser.value(product),
                                             &error);
    } else {
        settings = CEvaluationSettings::ReadFile(parser.value(settingsFile), &error);
    }
    if (!settings) {
        return Fail(error);
    }
    for (const QString& assignment : parser.values(set)) {
        if (!settings->SetAssignment(assignment, &error)) {
            return Fail(QStringLiteral("--set %1: %2").arg(assignment, error));
        }
    }
    std::optional<SweepSpec> sweepSpec;
    if (parser.isSet(sweep)) {
        sweepSpec = ParseSweep(parser.value(sweep), &error);
        if (!sweepSpec) {
            return Fail(QStringLiteral("--sweep: %1").arg(error));
        }
        CEvaluationSettings probe = *settings;
        if (!probe.Set(sweepSpec->column, QString::number(sweepSpec->from), &error)) {
            return Fail(QStringLiteral("--sweep: %1").arg(error));
        }
    }
    if (parser.isSet(writeSettings)) {
        if (!settings->WriteFile(parser.value(writeSettings), &error)) {
            return Fail(error);
        }
    }

    const QString onlyProduct = parser.isSet(allProducts) ? QString() : settings->ProductName();
    std::vector<Recording> recordings;
    int otherProducts = 0;
    bool found = true;
    for (const QString& path : parser.positionalArguments()) {
        found &= AddRecordings(path, std::nullopt, onlyProduct, recordings, &otherProducts);
    }
    for (const QString& path : parser.values(good)) {
        found &= AddRecordings(path, RecordingLabel::Good, onlyProduct, recordings, &otherProducts);
    }
    for (const QString& path : parser.values(bad)) {
        found &= AddRecordings(path, RecordingLabel::Bad, onlyProduct, recordings, &otherProducts);
    }
    if (!found) {
        return kExitBadArguments;
    }
    if (otherProducts > 0) {
        std::fprintf(stderr,
                     "station-evaluate: %d recordings of other products left out (--all-products "
                     "takes them)\n",
                     otherProducts);
    }
    if (recordings.empty()) {
        if (parser.isSet(writeSettings)) {
            return 0;
        }
        return Fail(QStringLiteral("no recordings to judge (see --help)"));
    }

    const int plainModel = parser.value(model).toInt();
    if (plainModel != 2 && plainModel != 3) {
        return Fail(QStringLiteral("--model takes 2 or 3"));
    }
    const Output output{parser.isSet(csv), parser.isSet(trace), plainModel};
    const SensorSettings sensor = settings->Sensor();
    if (!output.csv) {
        std::printf(
            "settings: product %s, inspection time %d s, inspection mode %d, L.Pass limit %d, "
            "focus window %.1f..%.1f s\n",
            qPrintable(settings->ProductName()), settings->InspectionTime(), sensor.inspection_mode,
            sensor.lpass_limit, sensor.initial_exception_time, sensor.focus_time);
    }
    return sweepSpec ? Sweep(recordings, *settings, *sweepSpec, output)
                     : JudgeAll(recordings, *settings, output);
}
