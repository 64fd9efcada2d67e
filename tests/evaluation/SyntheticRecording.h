#pragma once
// Run recordings made without a station: the camera simulator's messages on a timeline, cut into
// chunks that arrive when their message was sent, beginning inside a message as a real run does.

#include "evaluation/EvaluationSettings.h"

#include <QByteArray>
#include <QString>

struct SyntheticRun {
    int model = 2;
    double seconds = 4.0;
    bool defect = false;
    double defectFrom_s = 1.0;  // run time the tone and the loud spot start at
    double toneDb = 80.0;       // 5000..8000 Hz during the defect
    // A cell inside the area for both models (the area is cut into cells of 5 or 16 points).
    double spotColumn = 10.0;
    double spotRow = 8.0;
    int spectrumRate = 20;
    int mapRate = 10;
    int pictureRate = 2;
    QString sensorName = QStringLiteral("Top");
    QString productName = QStringLiteral("SYN-1");
    bool startInsideMessage = true;
};

// The whole file.
QByteArray SyntheticRecording(const SyntheticRun& run);

// Settings that judge SyntheticRun: filters 1 (5000..6000 Hz) and 2 (6500..8000 Hz) at 75 dB,
// both needed, L.Pass limit 3, focus window 0..10 s, the area 10,10..309,229, 5 s runs.
CEvaluationSettings JudgedSettings();
