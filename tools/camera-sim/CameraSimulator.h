#pragma once
// A camera on loopback: accepts the station's connection, answers its commands and streams the
// items of the chosen model at the configured rates, with an optional defect scenario.

#include "sensor/RunRecording.h"
#include "tools/camera-sim/CameraStreamGenerator.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

class QTcpServer;
class QTcpSocket;

struct SimulatorOptions {
    quint16 port = 6340;
    int model = 3;
    uint32_t spectrumLength = 8214;
    double pictureRate = 25.0;
    double mapRate = 25.0;
    double spectrumRate = 100.0;
    double waveformRate = 25.0;
    double thermalRate = 0.0;
    double statusRate = 1.0;
    bool statusShift = false;  // model 2: status bytes 36..39 = 0, 3, 8, 2
    bool streamOnConnect = false;
    AcousticSpot spot{};
    bool spotDefault = true;
    bool spotMoves = false;
    SpectrumShape spectrum{};
    // The defect scenario: from defectStartS for defectDurationS, a tone band and a loud spot.
    bool defectOn = false;
    double defectStartS = 0.0;
    double defectDurationS = 0.0;
    double defectMinHz = 0.0;
    double defectMaxHz = 0.0;
    double defectColumn = 0.0;
    double defectRow = 0.0;
    double defectToneDb = 70.0;
    double defectSpotDb = 60.0;
    // Above 0: the scenario comes back this many seconds after each start.
    double defectPeriodS = 0.0;
    int closeAfterMs = -1;
    QString commandLogPath;
    QString recordPath;
    // Serve this run recording (or plain capture) instead of generated items, at its pace.
    QString replayPath;
    bool replayLoop = false;
};

class CCameraSimulator : public QObject {
    Q_OBJECT
  public:
    explicit CCameraSimulator(const SimulatorOptions& options, QObject* parent = nullptr);
    ~CCameraSimulator() override;

    bool listen();
    // Reads the replay file of the options; false with the reason when it cannot be served.
    bool loadReplay(QString* error);
    quint16 port() const;
    // Closes the current connection (the station then sees the peer close).
    void closeConnection();
    // Starts the defect scenario now (band and spot of --defect, or the given defaults).
    void triggerDefect();
    // Moves the loud spot to a map cell.
    void setSpot(double column, double row);
    // One console command: "close", "defect" or "spot COLUMN,ROW". False when unknown.
    bool runConsoleCommand(const QString& line);

  private slots:
    void onNewConnection();
    void onReadyRead();
    void onTick();

  private:
    void handleCommand(const QByteArray& command);
    void startStreaming();
    void send(const QByteArray& bytes);
    bool defectActive(double seconds) const;
    void replayTick();

    SimulatorOptions m_options;
    CCameraStreamGenerator m_generator;
    QTcpServer* m_server = nullptr;
    QTcpSocket* m_client = nullptr;
    QByteArray m_incoming;
    QTimer m_tick;
    QElapsedTimer m_clock;
    bool m_streaming = false;
    uint8_t m_sequence = 0;
    qint64 m_sent[6] = {};
    QFile m_commandLog;
    QFile m_record;
    std::vector<RunRecordingChunk> m_replay;
    size_t m_replayChunk = 0;
    qsizetype m_replayOffset = 0;
};
