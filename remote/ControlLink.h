#pragma once
// The control server's link as the inspection page owns it: the socket with its thread, the
// command handler, the head's replies, and what the commands reach (the runs, the head, the
// vehicle code and the picture push). Runs on the UI thread.

#include "remote/ControlCommandHandler.h"
#include "remote/ControlCommandTarget.h"
#include "remote/PanTiltReplySender.h"
#include "remote/WebServerSocket.h"

#include <QObject>

#include <functional>

class CPanTiltControl;
class CRunController;
class CStreamingPush;
class RunClock;

class CControlLink : public QObject, public ControlCommandTarget {
    Q_OBJECT
  public:
    struct Parts {
        CRunController& runs;
        CStreamingPush& streaming;
        RunClock& clock;
        // The page's label and the code the result records carry.
        std::function<void(const QString&)> showVehicleCode;
    };
    explicit CControlLink(Parts parts, QObject* parent = nullptr);
    ~CControlLink() override;

    // The head lives with the main window and may come later than the link (or never).
    void SetPanTilt(CPanTiltControl* head);
    // Starts Thread_Web_Server with the configured server and vehicle code.
    void Start(const QString& serverAddress, const QString& ugvCode);
    // Ends the link thread and closes the link (at shutdown).
    void Stop();

    CWebServerSocket& Socket() { return m_socket; }
    CControlCommandHandler& Handler() { return m_handler; }
    // "DB 동기화" on the system settings page.
    void SendDbSyncRequest() { m_handler.SendDbSyncRequest(); }

    // ControlCommandTarget
    void remoteStart(const QString& engineId, std::optional<int> topInspectionId) override;
    void stopInspection() override;
    void panTiltMove(uint8_t direction) override;
    void movePanTiltTo(char kind, uint16_t panDegrees, uint16_t tiltDegrees) override;
    void setPanTiltInitFlag(bool set) override;
    void requestPanPosition() override;
    void requestTiltPosition() override;
    void requestPanTiltPosition() override;
    void writePanTiltInitialiseFrame() override;
    void startPanTiltInit() override;
    void vehicleCodeReceived(const QString& code) override;

  private:
    CRunController& m_runs;
    CStreamingPush& m_streaming;
    RunClock& m_clock;
    std::function<void(const QString&)> m_showVehicleCode;
    CWebServerSocket m_socket;
    CControlCommandHandler m_handler;
    PanTiltReplySender m_replies;
    CPanTiltControl* m_head = nullptr;
};
