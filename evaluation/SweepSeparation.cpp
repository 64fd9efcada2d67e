#include "evaluation/SweepSeparation.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>

RecordingLabel LabelFromFolders(const QString& path) {
    const QStringList parts = QDir::fromNativeSeparators(path).split(QLatin1Char('/'));
    for (qsizetype i = parts.size() - 2; i >= 0; --i) {
        if (parts[i] == QLatin1String("PASS")) {
            return RecordingLabel::Good;
        }
        if (parts[i] == QLatin1String("NG")) {
            return RecordingLabel::Bad;
        }
    }
    return RecordingLabel::Unlabelled;
}

const char* LabelName(RecordingLabel label) {
    switch (label) {
        case RecordingLabel::Good:
            return "good";
        case RecordingLabel::Bad:
            return "bad";
        default:
            return "-";
    }
}

std::vector<int> SweepSpec::Values() const {
    std::vector<int> values;
    for (long long value = from; value <= to; value += step) {
        values.push_back(static_cast<int>(value));
    }
    return values;
}

std::optional<SweepSpec> ParseSweep(const QString& text, QString* error) {
    static const QRegularExpression pattern(QStringLiteral(
        "^\\s*([A-Za-z0-9_]+)\\s*=\\s*(-?\\d+)\\s*\\.\\.\\s*(-?\\d+)\\s*(?::\\s*(\\d+))?\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        *error = QStringLiteral("'%1' is not column=FROM..TO:STEP").arg(text);
        return std::nullopt;
    }
    SweepSpec sweep;
    sweep.column = match.captured(1);
    bool fromOk = false, toOk = false, stepOk = true;
    sweep.from = match.captured(2).toInt(&fromOk);
    sweep.to = match.captured(3).toInt(&toOk);
    if (match.hasCaptured(4)) {
        sweep.step = match.captured(4).toInt(&stepOk);
    }
    if (!fromOk || !toOk || !stepOk) {
        *error = QStringLiteral("'%1': a value is out of range").arg(text);
        return std::nullopt;
    }
    if (sweep.step <= 0 || sweep.from > sweep.to) {
        *error = QStringLiteral("'%1': FROM must not exceed TO and STEP must be above 0").arg(text);
        return std::nullopt;
    }
    if ((static_cast<long long>(sweep.to) - sweep.from) / sweep.step + 1 > kMaxSweepValues) {
        *error = QStringLiteral("'%1' gives more than %2 values").arg(text).arg(kMaxSweepValues);
        return std::nullopt;
    }
    return sweep;
}

bool Separates(const std::vector<bool>& ng, const std::vector<RecordingLabel>& labels) {
    bool good = false, bad = false;
    for (std::size_t i = 0; i < labels.size() && i < ng.size(); ++i) {
        if (labels[i] == RecordingLabel::Good) {
            good = true;
            if (ng[i]) {
                return false;
            }
        } else if (labels[i] == RecordingLabel::Bad) {
            bad = true;
            if (!ng[i]) {
                return false;
            }
        }
    }
    return good && bad;
}

QString SeparatingRanges(const std::vector<int>& values, const std::vector<bool>& separates) {
    QStringList ranges;
    std::size_t i = 0;
    while (i < values.size()) {
        if (i >= separates.size() || !separates[i]) {
            ++i;
            continue;
        }
        std::size_t last = i;
        while (last + 1 < values.size() && last + 1 < separates.size() && separates[last + 1]) {
            ++last;
        }
        ranges << (last == i ? QString::number(values[i])
                             : QStringLiteral("%1..%2").arg(values[i]).arg(values[last]));
        i = last + 1;
    }
    return ranges.join(QStringLiteral(", "));
}
