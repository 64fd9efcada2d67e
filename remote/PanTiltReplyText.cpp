#include "remote/PanTiltReplyText.h"

#include "remote/ControlReplyTemplates.h"

QString PanTiltReplyText(PanTiltReply reply, double panDegrees, double tiltDegrees,
                         const QString& missionId) {
    using namespace ControlReplyTemplates;
    switch (reply) {
        case PanTiltReply::SetPanComplete:
            return SetPanComplete(missionId);
        case PanTiltReply::SetPanNg:
            return SetPanNg(missionId);
        case PanTiltReply::SetTiltComplete:
            return SetTiltComplete(missionId);
        case PanTiltReply::SetTiltNg:
            return SetTiltNg(missionId);
        case PanTiltReply::SetPanTiltComplete:
            return SetPanTiltComplete(missionId);
        case PanTiltReply::SetPanTiltNg:
            return SetPanTiltNg(missionId);
        case PanTiltReply::GetPanAck:
            return GetPanAck(panDegrees, missionId);
        case PanTiltReply::GetTiltAck:
            return GetTiltAck(tiltDegrees, missionId);
        case PanTiltReply::GetPanTiltAck:
            return GetPanTiltAck(panDegrees, tiltDegrees, missionId);
    }
    // Only a value outside the enum gets here; it has no text to send.
    return QString();
}
