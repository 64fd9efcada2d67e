#include "tools/camera-sim/CameraSimulator.h"

#include "sensor/CameraProtocol.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace camera;

namespace {
constexpr int kTickMs = 5;
constexpr qint64 kMaxQueuedBytes = 32 * 1024 * 1024;
enum Stream { kPicture, kMap, kSpectrum, kWaveform, kThermal, kStatus, kStreamCount };
}  // namespace

CCameraSimulator::CCameraSimulator(const SimulatorOptions& options, QObject* parent)
    : QObject(parent),
      m_options(options),
      m_generator(options.model, 0, options.spectrumLength),
      m_server(new QTcpServer(this)) {
    if (m_options.spotDefault) {
        const MapGeometry geometry = MapGeometryOf(m_generator.model());
        m_options.spot.column = geometry.columns / 2;
        m_options.spot.row = geometry.rows / 2;
    }
    connect(m_server, &QTcpServer::newConnection, this, &CCameraSimulator::onNewConnection);
    connect(&m_tick, &QTimer::timeout, this, &CCameraSimulator::onTick);
    if (!m_options.commandLogPath.isEmpty()) {
        m_commandLog.setFileName(m_options.commandLogPath);
        m_commandLog.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
    }
    if (!m_options.recordPath.isEmpty()) {
        m_record.setFileName(m_options.recordPath);
        m_record.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
}

CCameraSimulator::~CCameraSimulator() = default;

bool CCameraSimulator::loadReplay(QString* error) {
    QFile file(m_options.replayPath);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    RunRecordingContents contents = ReadRunRecording(file.readAll());
    if (!contents.ok()) {
        *error = QStringLiteral("%1 (at byte %2)").arg(contents.error).arg(contents.errorOffset);
        return false;
    }
    // A run recording begins inside a camera message; the station must get whole ones.
    if (!contents.plainCapture && !contents.chunks.empty() && SkipToFirstMessage(contents) < 0) {
        *error = QStringLiteral("no camera message starts in the recording");
        return false;
    }
    if (!contents.plainCapture) {
        DropPartialLastMessage(contents);
    }
    const qint64 bytes = contents.totalBytes();
    m_replay = std::move(contents.chunks);
    std::fprintf(stdout, "camera-sim: replaying %s: %s, %zu chunks, %lld bytes\n",
                 qPrintable(m_options.replayPath),
                 contents.plainCapture ? "plain capture" : "run recording", m_replay.size(),
                 static_cast<long long>(bytes));
    std::fflush(stdout);
    return true;
}

bool CCameraSimulator::listen() {
    return m_server->listen(QHostAddress::LocalHost, m_options.port);
}

quint16 CCameraSimulator::port() const {
    return m_server->serverPort();
}

void CCameraSimulator::closeConnection() {
    m_streaming = false;
    m_tick.stop();
    if (m_client != nullptr) {
        std::fprintf(stdout, "camera-sim: closing the connection\n");
        std::fflush(stdout);
        m_client->flush();
        m_client->disconnectFromHost();
    }
}

void CCameraSimulator::triggerDefect() {
    m_options.defectOn = true;
    m_options.defectStartS = m_streaming ? m_clock.elapsed() / 1000.0 : 0.0;
    if (m_options.defectDurationS <= 0.0) {
        m_options.defectDurationS = 3.0;
    }
    if (m_options.defectMaxHz <= m_options.defectMinHz) {
        m_options.defectMinHz = 4000.0;
        m_options.defectMaxHz = 4500.0;
    }
}

void CCameraSimulator::setSpot(double column, double row) {
    m_options.spot.column = column;
    m_options.spot.row = row;
    m_options.spotMoves = false;
}

bool CCameraSimulator::runConsoleCommand(const QString& line) {
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty()) {
        return true;
    }
    if (words[0] == QLatin1String("close")) {
        closeConnection();
        return true;
    }
    if (words[0] == QLatin1String("defect")) {
        triggerDefect();
        return true;
    }
    if (words[0] == QLatin1String("spot") && words.size() == 2) {
        const QStringList cell = words[1].split(QLatin1Char(','));
        bool okColumn = false;
        bool okRow = false;
        if (cell.size() == 2) {
            const double column = cell[0].toDouble(&okColumn);
            const double row = cell[1].toDouble(&okRow);
            if (okColumn && okRow) {
                setSpot(column, row);
                return true;
            }
        }
    }
    return false;
}

void CCameraSimulator::onNewConnection() {
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        if (m_client != nullptr) {
            m_client->abort();
            m_client->deleteLater();
        }
        m_client = socket;
        m_incoming.clear();
        m_streaming = false;
        connect(socket, &QTcpSocket::readyRead, this, &CCameraSimulator::onReadyRead);
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            if (m_client == socket) {
                m_client = nullptr;
                m_streaming = false;
                m_tick.stop();
            }
            socket->deleteLater();
        });
        std::fprintf(stdout, "camera-sim: station connected\n");
        std::fflush(stdout);
        if (m_options.streamOnConnect) {
            startStreaming();
        }
    }
}

void CCameraSimulator::onReadyRead() {
    if (m_client == nullptr) {
        return;
    }
    m_incoming.append(m_client->readAll());
    for (;;) {
        if (m_incoming.isEmpty()) {
            return;
        }
        const int headerBytes = HeaderBytesFor(static_cast<uint8_t>(m_incoming[0]));
        if (m_incoming.size() < headerBytes) {
            return;
        }
        const uint32_t length =
            Load<uint32_t>(m_incoming.constData() + PayloadLengthOffset(headerBytes));
        const qint64 total = qint64{headerBytes} + length;
        if (m_incoming.size() < total) {
            return;
        }
        handleCommand(m_incoming.left(total));
        m_incoming.remove(0, total);
    }
}

void CCameraSimulator::handleCommand(const QByteArray& command) {
    if (m_commandLog.isOpen()) {
        m_commandLog.write(command.toHex(' ') + '\n');
        m_commandLog.flush();
    }
    const auto identifier = static_cast<uint8_t>(command[0]);
    if (identifier == kIdMeasureMode && command.size() >= 12) {
        const int32_t mode = Load<int32_t>(command.constData() + 8);
        // Modes 4 and 5 select the high range.
        m_generator.setRange(mode == 4 || mode == 5 ? 1 : 0);
    } else if (identifier == kIdBeginStream) {
        startStreaming();
    } else if (identifier == kIdStop) {
        m_streaming = false;
        m_tick.stop();
    }
}

void CCameraSimulator::startStreaming() {
    m_streaming = true;
    m_replayChunk = 0;
    m_replayOffset = 0;
    for (qint64& sent : m_sent) {
        sent = 0;
    }
    m_clock.start();
    m_tick.start(kTickMs);
}

bool CCameraSimulator::defectActive(double seconds) const {
    if (!m_options.defectOn || seconds < m_options.defectStartS) {
        return false;
    }
    double since = seconds - m_options.defectStartS;
    if (m_options.defectPeriodS > 0.0) {
        since = std::fmod(since, m_options.defectPeriodS);
    }
    return since < m_options.defectDurationS;
}

void CCameraSimulator::send(const QByteArray& bytes) {
    if (m_client == nullptr) {
        return;
    }
    m_client->write(bytes);
    if (m_record.isOpen()) {
        m_record.write(bytes);
    }
}

void CCameraSimulator::replayTick() {
    const auto elapsed_us = static_cast<uint64_t>(m_clock.nsecsElapsed() / 1000);
    // A plain capture is one chunk at time 0: it goes out as fast as the station reads it.
    constexpr qsizetype kPiece = 64 * 1024;
    while (m_replayChunk < m_replay.size() && m_replay[m_replayChunk].arrival_us <= elapsed_us) {
        if (m_client->bytesToWrite() > kMaxQueuedBytes) {
            return;
        }
        const QByteArray& bytes = m_replay[m_replayChunk].bytes;
        const qsizetype piece = std::min(kPiece, bytes.size() - m_replayOffset);
        send(bytes.mid(m_replayOffset, piece));
        m_replayOffset += piece;
        if (m_replayOffset >= bytes.size()) {
            ++m_replayChunk;
            m_replayOffset = 0;
        }
    }
    if (m_replayChunk < m_replay.size()) {
        return;
    }
    if (m_options.replayLoop) {
        m_replayChunk = 0;
        m_clock.start();
        return;
    }
    std::fprintf(stdout, "camera-sim: replay finished\n");
    std::fflush(stdout);
    m_streaming = false;
    m_tick.stop();
}

void CCameraSimulator::onTick() {
    if (!m_streaming || m_client == nullptr) {
        return;
    }
    const qint64 elapsedMs = m_clock.elapsed();
    if (m_options.closeAfterMs >= 0 && elapsedMs >= m_options.closeAfterMs) {
        closeConnection();
        return;
    }
    if (!m_options.replayPath.isEmpty()) {
        replayTick();
        return;
    }
    const double rates[kStreamCount] = {m_options.pictureRate,  m_options.mapRate,
                                        m_options.spectrumRate, m_options.waveformRate,
                                        m_options.thermalRate,  m_options.statusRate};
    qint64 due[kStreamCount];
    for (int s = 0; s < kStreamCount; ++s) {
        due[s] = static_cast<qint64>(std::floor(elapsedMs * rates[s] / 1000.0));
    }
    if (rates[kStatus] > 0.0) {
        ++due[kStatus];  // the status comes first, before any samples it governs
    }
    if (m_client->bytesToWrite() > kMaxQueuedBytes) {
        // The station does not keep up: skip what is due rather than queue without bound.
        for (int s = 0; s < kStreamCount; ++s) {
            m_sent[s] = due[s];
        }
        return;
    }
    const double seconds = elapsedMs / 1000.0;
    const uint64_t stamp = static_cast<uint64_t>(elapsedMs) * 1000;  // microseconds
    const bool defect = defectActive(seconds);

    for (; m_sent[kStatus] < due[kStatus]; ++m_sent[kStatus]) {
        const uint8_t shifted[4] = {0, 3, 8, 2};
        const uint8_t plain[4] = {0, 0, 0, 0};
        send(CCameraStreamGenerator::StatusMessage(m_sequence++,
                                                   m_options.statusShift ? shifted : plain));
    }
    QList<QByteArray> items;
    for (; m_sent[kPicture] < due[kPicture]; ++m_sent[kPicture]) {
        items << m_generator.pictureItem(stamp, static_cast<int>(m_sent[kPicture]));
    }
    for (; m_sent[kMap] < due[kMap]; ++m_sent[kMap]) {
        AcousticSpot spot = m_options.spot;
        if (m_options.spotMoves) {
            const MapGeometry geometry = MapGeometryOf(m_generator.model());
            const double angle = seconds * 0.5;
            spot.column =
                std::round(geometry.columns / 2.0 + geometry.columns / 4.0 * std::cos(angle));
            spot.row = std::round(geometry.rows / 2.0 + geometry.rows / 4.0 * std::sin(angle));
        }
        if (defect) {
            spot.column = m_options.defectColumn;
            spot.row = m_options.defectRow;
            spot.levelDb = m_options.defectSpotDb;
        }
        items << m_generator.acousticMapItem(stamp, spot);
    }
    for (; m_sent[kSpectrum] < due[kSpectrum]; ++m_sent[kSpectrum]) {
        SpectrumShape shape = m_options.spectrum;
        if (defect) {
            shape.toneOn = true;
            shape.toneMinHz = m_options.defectMinHz;
            shape.toneMaxHz = m_options.defectMaxHz;
            shape.toneDb = m_options.defectToneDb;
        }
        items << m_generator.spectrumItem(stamp, shape, static_cast<int>(m_sent[kSpectrum]));
    }
    for (; m_sent[kWaveform] < due[kWaveform]; ++m_sent[kWaveform]) {
        items << m_generator.waveformItem(stamp, static_cast<int>(m_sent[kWaveform]));
    }
    for (; m_sent[kThermal] < due[kThermal]; ++m_sent[kThermal]) {
        items << m_generator.thermalItem(stamp, static_cast<int>(m_sent[kThermal]));
    }
    if (!items.isEmpty()) {
        send(CCameraStreamGenerator::DataMessage(m_sequence++, items));
    }
}
