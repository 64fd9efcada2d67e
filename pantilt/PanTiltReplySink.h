#pragma once
// Where the pan/tilt control sends its completion and position replies: the control link. The
// mission id belongs to the inspection page; the control reads it for each reply and clears it
// after the reply that ends an operation.

#include <QString>

class PanTiltReplySink {
  public:
    virtual ~PanTiltReplySink() = default;
    virtual QString missionId() const = 0;
    virtual void clearMissionId() = 0;
    // The finished XML text, sent as a control message.
    virtual void sendControlMessage(const QString& text) = 0;
};
