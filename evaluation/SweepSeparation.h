#pragma once
// The sweep's rules: which recordings are good and which bad, the values a column is swept over,
// and the values at which the verdicts separate the good recordings from the bad ones.

#include <QString>

#include <optional>
#include <vector>

enum class RecordingLabel { Unlabelled, Good, Bad };

// Good when a folder on the path is "PASS", bad when it is "NG" (the station's verdict folders);
// the folder nearest the file decides.
RecordingLabel LabelFromFolders(const QString& path);
const char* LabelName(RecordingLabel label);

// "column=FROM..TO:STEP" with whole numbers, FROM <= TO and STEP > 0 (":STEP" may be left out
// for 1).
struct SweepSpec {
    QString column;
    int from = 0;
    int to = 0;
    int step = 1;

    std::vector<int> Values() const;
};
std::optional<SweepSpec> ParseSweep(const QString& text, QString* error);
inline constexpr int kMaxSweepValues = 10000;

// True when every good recording is OK and every bad one NG, and there is at least one of each.
bool Separates(const std::vector<bool>& ng, const std::vector<RecordingLabel>& labels);

// The separating values as runs of consecutive sweep values: "42..50, 54" ("" for none).
QString SeparatingRanges(const std::vector<int>& values, const std::vector<bool>& separates);
