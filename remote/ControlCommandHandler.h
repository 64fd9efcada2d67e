#pragma once
// The control server's commands and the station's side of every exchange: what each command
// does, its immediate reply, and the fields the link keeps between messages (mission id, engine
// id, vehicle code and name). Runs on the UI thread.

#include "remote/ControlMessageSink.h"

#include <QString>

#include <functional>

class ControlCommandTarget;
struct EquipmentStatus;
struct RecordedRun;

class CControlCommandHandler : public ControlMessageSink {
  public:
    static constexpr uint16_t kPanMax = 360;
    static constexpr uint16_t kTiltLowMax = 90;
    static constexpr uint16_t kTiltHighMin = 320;
    static constexpr uint16_t kTiltHighMax = 360;
    static constexpr uint8_t kTiltUp = 0x08;
    static constexpr uint8_t kTiltDown = 0x10;
    static constexpr uint8_t kPanLeft = 0x04;
    static constexpr uint8_t kPanRight = 0x02;
    static constexpr uint8_t kStop = 0x00;

    using Send = std::function<void(const QString& text)>;
    CControlCommandHandler(ControlCommandTarget& target, Send sendControl, Send sendStatus);

    // The payload text of one received frame.
    void HandleControlCommand(const QString& text);

    // Station messages whose moment other parts decide.
    void OnRunRecorded(const RecordedRun& run);
    void OnPanTiltInitComplete();
    void OnEquipmentStatus(const EquipmentStatus& status);
    void SendUgvInforRequest();
    void SendDbSyncRequest();

    QString engineId() const { return m_engineId; }
    QString ugvCode() const { return m_ugvCode; }
    QString ugvName() const { return m_ugvName; }
    // The configured code until the server sends its own.
    void setUgvCode(const QString& code) { m_ugvCode = code; }

    // ControlMessageSink
    QString missionId() const override { return m_missionId; }
    void clearMissionId() override { m_missionId.clear(); }
    void sendControlMessage(const QString& text) override { m_sendControl(text); }

  private:
    void keepMission(const struct ControlCommand& command);

    ControlCommandTarget& m_target;
    Send m_sendControl;
    Send m_sendStatus;
    QString m_missionId;
    QString m_engineId;
    QString m_ugvCode;
    QString m_ugvName;
};
