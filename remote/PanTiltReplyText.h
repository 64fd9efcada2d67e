#pragma once
// The control server's text of a pan/tilt head report.

#include "pantilt/PanTiltReplySink.h"

#include <QString>

// Positions the reply does not carry are ignored.
QString PanTiltReplyText(PanTiltReply reply, double panDegrees, double tiltDegrees,
                         const QString& missionId);
