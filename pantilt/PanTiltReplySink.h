#pragma once
// Where the pan/tilt control reports the outcome of a set operation or a position query: the
// control link, which words the reply for the server. The head only says what happened, so it
// knows nothing of the server's texts or of mission ids. Every report answers one command of the
// server and ends that exchange.

enum class PanTiltReply {
    SetPanComplete,
    SetPanNg,
    SetTiltComplete,
    SetTiltNg,
    SetPanTiltComplete,
    SetPanTiltNg,
    GetPanAck,
    GetTiltAck,
    GetPanTiltAck,
};

// The server's command id of the reply, for log lines.
constexpr const char* PanTiltReplyName(PanTiltReply reply) {
    switch (reply) {
        case PanTiltReply::SetPanComplete:
            return "SET_PAN_COMPLETE";
        case PanTiltReply::SetPanNg:
            return "SET_PAN_NG";
        case PanTiltReply::SetTiltComplete:
            return "SET_TILT_COMPLETE";
        case PanTiltReply::SetTiltNg:
            return "SET_TILT_NG";
        case PanTiltReply::SetPanTiltComplete:
            return "SET_PAN_TILT_COMPLETE";
        case PanTiltReply::SetPanTiltNg:
            return "SET_PAN_TILT_NG";
        case PanTiltReply::GetPanAck:
            return "GET_PAN_ACK";
        case PanTiltReply::GetTiltAck:
            return "GET_TILT_ACK";
        case PanTiltReply::GetPanTiltAck:
            return "GET_PAN_TILT_ACK";
    }
    return "?";
}

class PanTiltReplySink {
  public:
    virtual ~PanTiltReplySink() = default;
    // Positions in degrees as the head last reported them; a value the reply does not carry is 0.
    virtual void sendPanTiltReply(PanTiltReply reply, double panDegrees, double tiltDegrees) = 0;
};
