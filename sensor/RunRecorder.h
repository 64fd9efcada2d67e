#pragma once
// Writes what the camera sends during a run into a run recording, on a thread of its own: the
// receive path only copies each chunk into a queue, so neither the UI thread nor the sensor
// worker waits for the disk. A recording is written to a temporary file and moved to its final
// place (the verdict's Wave day folder) once the run has ended; a stopped run's recording is
// dropped. A write that fails (a full disk) or a queue that overflows ends that recording: one
// message, the file is removed, and the run itself goes on.

#include "sensor/RunRecording.h"

#include <QString>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class CRunRecorder {
  public:
    // What may wait in memory for the disk before the recording is given up.
    static constexpr qint64 kMaxQueuedBytes = 256LL * 1024 * 1024;

    // `onError` gets one text per recording that failed, on the writer thread.
    explicit CRunRecorder(std::function<void(const QString&)> onError);
    // Writes what is queued (a recording still open is dropped) and ends the thread.
    ~CRunRecorder();

    // The run starts: a new recording in `tempPath`. One that was still open is dropped.
    void Begin(const RunRecordingHeader& header, const QString& tempPath);
    // A chunk as it arrived from the camera; nothing while no recording is open. Any thread.
    void Append(const char* data, qsizetype size);
    // The run was recorded: the recording goes to `finalPath`. `cameraModel` (when above 0)
    // replaces the header's, as the decoder may tell the model only after the run began. Returns
    // false when this recording has already failed (the row then names no file).
    bool Finish(const QString& finalPath, int cameraModel = 0);
    // The run ended without a verdict: the recording is removed.
    void Abort();
    bool IsRecording() const;
    // Blocks until the queue is written, at most `limit_ms`; true when it was.
    bool WaitIdle(int limit_ms);

  private:
    struct Job {
        enum Kind { Open, Data, Close, Drop } kind = Data;
        uint64_t arrival_us = 0;
        int cameraModel = 0;
        QByteArray bytes;
        QString path;
        RunRecordingHeader header;
    };

    void Push(Job job);
    void WriterLoop();
    void Fail(const QString& reason);

    std::function<void(const QString&)> m_onError;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    qint64 m_queuedBytes = 0;
    bool m_recording = false;
    // Set when the open recording failed; cleared by the next Begin.
    bool m_failed = false;
    bool m_writing = false;
    bool m_stopping = false;
    std::chrono::steady_clock::time_point m_start;

    // Writer thread only.
    struct OpenFile;
    std::unique_ptr<OpenFile> m_file;

    std::thread m_writer;
};
