#pragma once
// Words the pan/tilt head's reports for the control server: each report goes out as its text with
// the current mission id, and the id is cleared after it, since every report ends the exchange
// that the id belonged to.

#include "pantilt/PanTiltReplySink.h"

class ControlMessageSink;

class PanTiltReplySender : public PanTiltReplySink {
  public:
    explicit PanTiltReplySender(ControlMessageSink& link) : m_link(link) {}

    void sendPanTiltReply(PanTiltReply reply, double panDegrees, double tiltDegrees) override;

  private:
    ControlMessageSink& m_link;
};
