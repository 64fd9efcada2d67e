#pragma once
// What a finished run leaves for its recording: the run controller's and the Top sensor's
// values at the end of the run.

#include <QString>

struct RunOutcome {
    QString sensor_name;  // "Top" once a start has named it, empty before
    QString barcode;
    QString run_stamp;  // "%04d-%02d-%02d %02d-%02d-%02d"
    int inspection_id = 0;
    int top_inspection_mode = 0;
    int top_ng_latch = 0;         // 0 or 1
    float top_ng_time = 0.0f;     // s
    float top_peak_level = 0.0f;  // dB
    QString top_image_path;       // the dated path the row records
    QString bottom_image_path;
    QString top_picture_path;  // the file whose bytes become the result picture blob
    QString top_wave_path;     // the run recording, when one is kept
};

// What the picture worker needs; copied when it starts, so the run controller may go on.
struct ResultPictureJob {
    QString sensor_name;
    int inspection_id = 0;
    int top_ng_latch = 0;
    QString top_picture_path;
};
