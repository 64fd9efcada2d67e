#pragma once
// What the control server's commands act on: the runs, the pan/tilt head and the vehicle code.
// The command handler decides and replies; the target only carries out.

#include <QString>

#include <cstdint>
#include <optional>

class ControlCommandTarget {
  public:
    virtual ~ControlCommandTarget() = default;

    // A remote start for the product `engineId`; `topInspectionId` is given when the command
    // named sensor index 0 (the run is then a "Top" run reported under that id).
    virtual void remoteStart(const QString& engineId, std::optional<int> topInspectionId) = 0;
    virtual void stopInspection() = 0;

    // Continuous move by direction code (0 stops).
    virtual void panTiltMove(uint8_t direction) = 0;
    // 'K' pan only, 'M' tilt only, 'N' pan then tilt; whole degrees.
    virtual void movePanTiltTo(char kind, uint16_t panDegrees, uint16_t tiltDegrees) = 0;
    virtual void setPanTiltInitFlag(bool set) = 0;
    virtual void requestPanPosition() = 0;
    virtual void requestTiltPosition() = 0;
    virtual void requestPanTiltPosition() = 0;
    virtual void writePanTiltInitialiseFrame() = 0;
    // The one-a-second initialisation ticks that end in INIT_PAN_TILT_COMPLETE.
    virtual void startPanTiltInit() = 0;

    // The server named the vehicle: the screen's label, the result records and, for a code that
    // is not empty, the picture push.
    virtual void vehicleCodeReceived(const QString& code) = 0;
};
