#pragma once
// The control link's side of the replies to the server: where a finished message goes and where
// the mission id of the command being answered lives. A reply carries the mission id it answers;
// the id is cleared once that reply has gone, so a later unsolicited message does not repeat it.

#include <QString>

class ControlMessageSink {
  public:
    virtual ~ControlMessageSink() = default;
    virtual QString missionId() const = 0;
    virtual void clearMissionId() = 0;
    // The finished XML text, sent as a control message.
    virtual void sendControlMessage(const QString& text) = 0;
};
