// The head's reports leave as the server's texts with the mission id they answer, and each one
// clears that id once it has gone.

#include "remote/ControlMessageSink.h"
#include "remote/ControlReplyTemplates.h"
#include "remote/PanTiltReplySender.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

class RecordingLink : public ControlMessageSink {
  public:
    QString missionId() const override { return mission; }
    void clearMissionId() override {
        calls << QStringLiteral("clear");
        mission.clear();
    }
    void sendControlMessage(const QString& text) override {
        calls << QStringLiteral("send ") + text;
    }

    QString mission = QStringLiteral("MISSION-7");
    QStringList calls;
};

TEST(PanTiltReplySenderTest, SendsTheTextWithTheMissionIdThenClearsIt) {
    RecordingLink link;
    PanTiltReplySender sender(link);
    sender.sendPanTiltReply(PanTiltReply::SetPanComplete, 0, 0);
    EXPECT_EQ(link.calls,
              (QStringList{QStringLiteral("send ") +
                               ControlReplyTemplates::SetPanComplete(QStringLiteral("MISSION-7")),
                           QStringLiteral("clear")}));
    EXPECT_TRUE(link.mission.isEmpty());
}

TEST(PanTiltReplySenderTest, EachReplyCarriesTheMissionIdCurrentAtItsTime) {
    RecordingLink link;
    PanTiltReplySender sender(link);
    sender.sendPanTiltReply(PanTiltReply::GetPanTiltAck, 12, 330.5);
    link.mission = QStringLiteral("M2");
    sender.sendPanTiltReply(PanTiltReply::GetPanAck, 12, 0);
    link.mission = QStringLiteral("M3");
    sender.sendPanTiltReply(PanTiltReply::GetTiltAck, 0, 330.5);
    // No mission id came in since the last reply cleared it.
    sender.sendPanTiltReply(PanTiltReply::SetTiltNg, 0, 0);
    using namespace ControlReplyTemplates;
    EXPECT_EQ(link.calls,
              (QStringList{
                  QStringLiteral("send ") + GetPanTiltAck(12, 330.5, QStringLiteral("MISSION-7")),
                  QStringLiteral("clear"),
                  QStringLiteral("send ") + GetPanAck(12, QStringLiteral("M2")),
                  QStringLiteral("clear"),
                  QStringLiteral("send ") + GetTiltAck(330.5, QStringLiteral("M3")),
                  QStringLiteral("clear"),
                  QStringLiteral("send ") + SetTiltNg(QString()),
                  QStringLiteral("clear"),
              }));
}

}  // namespace
