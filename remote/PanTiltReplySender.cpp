#include "remote/PanTiltReplySender.h"

#include "remote/ControlMessageSink.h"
#include "remote/PanTiltReplyText.h"

void PanTiltReplySender::sendPanTiltReply(PanTiltReply reply, double panDegrees,
                                          double tiltDegrees) {
    m_link.sendControlMessage(PanTiltReplyText(reply, panDegrees, tiltDegrees, m_link.missionId()));
    m_link.clearMissionId();
}
