// Bytes from the control server through the frame reader and, for every command frame, through
// the command handler, as the station's link takes them.
//
// Input: a length byte, then that many bytes of one read, and so on; the length byte 0 stands for
// a new connection, which starts with nothing pending.

#include "app/Cp949.h"
#include "app/DebugLog.h"
#include "remote/ControlCommandHandler.h"
#include "remote/ControlCommandTarget.h"
#include "remote/ControlFrame.h"
#include "tests/fuzz/FuzzChecks.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

using fuzz::Check;
using fuzz::Keep;

constexpr uint8_t kNewConnection = 0;

// Checks what the commands ask of the head: never a position the range checks refuse.
class CheckingTarget : public ControlCommandTarget {
  public:
    void remoteStart(const QString& engineId, std::optional<int> id) override {
        Keep(static_cast<uint64_t>(engineId.size()) + static_cast<uint64_t>(id.value_or(0)));
    }
    void stopInspection() override { Keep(1); }
    void panTiltMove(uint8_t direction) override {
        Check(direction == 0 || direction == 0x02 || direction == 0x04 || direction == 0x08 ||
              direction == 0x10);
    }
    void movePanTiltTo(char kind, uint16_t pan, uint16_t tilt) override {
        Check(pan <= 360);
        if (kind == 'N') {
            Check(tilt <= 90);
        } else if (kind == 'M') {
            Check(tilt <= 90 || (tilt >= 320 && tilt <= 360));
        } else {
            Check(kind == 'K');
        }
    }
    void setPanTiltInitFlag(bool set) override { Keep(set); }
    void requestPanPosition() override { Keep(2); }
    void requestTiltPosition() override { Keep(3); }
    void requestPanTiltPosition() override { Keep(4); }
    void writePanTiltInitialiseFrame() override { Keep(5); }
    void startPanTiltInit() override { Keep(6); }
    void vehicleCodeReceived(const QString& code) override {
        Keep(static_cast<uint64_t>(code.size()));
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const DebugLogSink previous =
        SetDebugLogSink([](const QString& line) { Keep(static_cast<uint64_t>(line.size())); });
    (void)previous;

    CheckingTarget target;
    // Every message the station would send must fit a frame once encoded.
    const auto send = [](const QString& text) {
        const QByteArray payload = ToCp949(text);
        Keep(static_cast<uint64_t>(payload.size()));
        Check(EncodeControlFrame(ControlFrame::kControlObjectId, payload, 0).has_value() ==
              (payload.size() <= ControlFrame::kMaxPayload));
    };
    CControlCommandHandler handler(target, send, send);
    ControlFrameReader reader;
    size_t position = 0;
    while (position < size) {
        const uint8_t length = data[position++];
        if (length == kNewConnection) {
            reader.Clear();
            continue;
        }
        const size_t count = std::min<size_t>(length, size - position);
        reader.Append(reinterpret_cast<const char*>(data + position),
                      static_cast<qsizetype>(count));
        position += count;
        while (const auto item = reader.TakeNext()) {
            if (item->kind == ControlFrameReader::Item::Fault) {
                Check(item->fault != ControlHeaderFault::None);
                Check(reader.PendingBytes() == 0);
                Keep(static_cast<uint64_t>(
                    ControlHeaderErrorBlock(item->header, item->fault).size()));
                continue;
            }
            Check(item->header.sop == ControlFrame::kStartWord);
            Check(item->header.ver >= ControlFrame::kVersion);
            Check(item->payload.size() == item->header.length);
            Check(item->payload.size() <= ControlFrame::kMaxPayload);
            if (item->header.id == ControlFrame::kServerObjectId) {
                handler.HandleControlCommand(FromCp949(item->payload));
            }
        }
        // What waits is at most one frame that has not fully arrived.
        Check(reader.PendingBytes() < ControlFrame::kMaxFrame);
    }
    return 0;
}
