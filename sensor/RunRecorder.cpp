#include "sensor/RunRecorder.h"

#include "app/DebugLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

struct CRunRecorder::OpenFile {
    QFile file;
    QString path;
    bool failed = false;
};

CRunRecorder::CRunRecorder(std::function<void(const QString&)> onError)
    : m_onError(std::move(onError)), m_writer([this] { WriterLoop(); }) {}

CRunRecorder::~CRunRecorder() {
    Abort();
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_writer.join();
}

void CRunRecorder::Push(Job job) {
    {
        std::lock_guard lock(m_mutex);
        m_queuedBytes += job.bytes.size();
        m_jobs.push_back(std::move(job));
    }
    m_changed.notify_all();
}

void CRunRecorder::Begin(const RunRecordingHeader& header, const QString& tempPath) {
    Abort();
    {
        std::lock_guard lock(m_mutex);
        m_recording = true;
        m_failed = false;
        m_start = std::chrono::steady_clock::now();
    }
    Job job;
    job.kind = Job::Open;
    job.path = tempPath;
    job.header = header;
    Push(std::move(job));
}

void CRunRecorder::Append(const char* data, qsizetype size) {
    std::unique_lock lock(m_mutex);
    if (!m_recording || m_failed || size <= 0) {
        return;
    }
    if (m_queuedBytes + size > kMaxQueuedBytes) {
        m_failed = true;
        lock.unlock();
        Fail(QStringLiteral("the disk does not keep up with the camera"));
        return;
    }
    Job job;
    job.kind = Job::Data;
    job.arrival_us = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                               std::chrono::steady_clock::now() - m_start)
                                               .count());
    job.bytes = QByteArray(data, size);
    m_queuedBytes += size;
    m_jobs.push_back(std::move(job));
    lock.unlock();
    m_changed.notify_all();
}

bool CRunRecorder::Finish(const QString& finalPath, int cameraModel) {
    bool failed;
    {
        std::lock_guard lock(m_mutex);
        if (!m_recording) {
            return false;
        }
        m_recording = false;
        failed = m_failed;
    }
    Job job;
    job.kind = failed ? Job::Drop : Job::Close;
    job.path = finalPath;
    job.cameraModel = cameraModel;
    Push(std::move(job));
    return !failed;
}

void CRunRecorder::Abort() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_recording) {
            return;
        }
        m_recording = false;
    }
    Job job;
    job.kind = Job::Drop;
    Push(std::move(job));
}

bool CRunRecorder::IsRecording() const {
    std::lock_guard lock(m_mutex);
    return m_recording;
}

bool CRunRecorder::WaitIdle(int limit_ms) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(limit_ms),
                              [this] { return m_jobs.empty() && !m_writing; });
}

void CRunRecorder::Fail(const QString& reason) {
    const QString text = QStringLiteral("[Record] Run recording given up: %1").arg(reason);
    DebugLog(text);
    if (m_onError) {
        m_onError(text);
    }
}

void CRunRecorder::WriterLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_jobs.empty()) {
            return;  // stopping, and everything is written
        }
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_queuedBytes -= job.bytes.size();
        m_writing = true;
        lock.unlock();

        const auto failWith = [this](const QString& reason) {
            if (m_file && !m_file->failed) {
                m_file->failed = true;
                {
                    std::lock_guard failedLock(m_mutex);
                    m_failed = true;
                }
                Fail(QStringLiteral("%1 (%2)").arg(reason, m_file->path));
            }
        };
        switch (job.kind) {
            case Job::Open: {
                m_file = std::make_unique<OpenFile>();
                m_file->path = job.path;
                m_file->file.setFileName(job.path);
                QDir().mkpath(QFileInfo(job.path).absolutePath());
                const QByteArray header = RunRecording::EncodeHeader(job.header);
                if (!m_file->file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                    failWith(m_file->file.errorString());
                } else if (m_file->file.write(header) != header.size()) {
                    failWith(m_file->file.errorString());
                }
                break;
            }
            case Job::Data:
                if (m_file && !m_file->failed) {
                    const QByteArray chunk = RunRecording::EncodeChunk(job.arrival_us, job.bytes);
                    if (m_file->file.write(chunk) != chunk.size()) {
                        failWith(m_file->file.errorString());
                    }
                }
                break;
            case Job::Close:
                if (m_file) {
                    // Data still buffered reaches the disk here, where a full disk shows.
                    if (!m_file->failed && !m_file->file.flush()) {
                        failWith(m_file->file.errorString());
                    }
                    if (!m_file->failed && job.cameraModel > 0) {
                        const char model = static_cast<char>(job.cameraModel);
                        if (!m_file->file.seek(RunRecording::kCameraModelOffset) ||
                            m_file->file.write(&model, 1) != 1 || !m_file->file.flush()) {
                            failWith(m_file->file.errorString());
                        }
                    }
                    m_file->file.close();
                    if (!m_file->failed) {
                        QDir().mkpath(QFileInfo(job.path).absolutePath());
                        QFile::remove(job.path);
                        if (!QFile::rename(m_file->path, job.path)) {
                            failWith(QStringLiteral("cannot move it to %1").arg(job.path));
                        }
                    }
                    if (m_file->failed) {
                        QFile::remove(m_file->path);
                    }
                    m_file.reset();
                }
                break;
            case Job::Drop:
                if (m_file) {
                    m_file->file.close();
                    QFile::remove(m_file->path);
                    m_file.reset();
                }
                break;
        }

        lock.lock();
        m_writing = false;
        m_changed.notify_all();
    }
}
