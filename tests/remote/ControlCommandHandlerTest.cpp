// What each command of the control server does, what the station answers at once, and how the
// mission id lives from a command to the final reply of its exchange.
#include "inspection/EquipmentStatus.h"
#include "inspection/RunController.h"
#include "remote/ControlCommandHandler.h"
#include "remote/ControlCommandTarget.h"
#include "remote/ControlReplyTemplates.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

namespace {

namespace T = ControlReplyTemplates;

// Writes down every call as a short text, so a case compares one list.
class RecordingTarget : public ControlCommandTarget {
  public:
    QStringList calls;
    void remoteStart(const QString& engineId, std::optional<int> id) override {
        calls << QStringLiteral("start %1 %2").arg(engineId, id ? QString::number(*id) : "-");
    }
    void stopInspection() override { calls << "stop"; }
    void panTiltMove(uint8_t direction) override {
        calls << QStringLiteral("move 0x%1").arg(direction, 2, 16, QChar('0'));
    }
    void movePanTiltTo(char kind, uint16_t pan, uint16_t tilt) override {
        calls << QStringLiteral("moveTo %1 %2 %3").arg(QChar(kind)).arg(pan).arg(tilt);
    }
    void setPanTiltInitFlag(bool set) override { calls << QStringLiteral("init flag %1").arg(set); }
    void requestPanPosition() override { calls << "query pan"; }
    void requestTiltPosition() override { calls << "query tilt"; }
    void requestPanTiltPosition() override { calls << "query both"; }
    void writePanTiltInitialiseFrame() override { calls << "init frame"; }
    void startPanTiltInit() override { calls << "init timer"; }
    void vehicleCodeReceived(const QString& code) override { calls << "vehicle " + code; }
};

struct Fixture {
    RecordingTarget target;
    QStringList control;
    QStringList status;
    CControlCommandHandler handler{target, [this](const QString& t) { control << t; },
                                   [this](const QString& t) { status << t; }};
};

QString Command(const QString& cmdId, const QString& fields = QString()) {
    return QStringLiteral("<ELEMENT>\r\n  <CMD_ID>%1</CMD_ID>\r\n%2</ELEMENT>").arg(cmdId, fields);
}

QString Field(const char* name, const QString& value) {
    return QStringLiteral("  <%1>%2</%1>\r\n").arg(QString::fromLatin1(name), value);
}

}  // namespace

TEST(ControlCommandHandlerTest, EachCommandActsRepliesAndEndsItsMission) {
    const QString m = Field("MISSION_ID", "M-7");
    struct Case {
        const char* name;
        QString command;
        QStringList calls;
        QStringList replies;
        QString missionAfter;
    };
    const Case cases[] = {
        {"stop", Command("INSPECTION_STOP", m), {"stop"}, {T::InspectionStopAck("M-7")}, ""},
        {"tilt up", Command("TILT_UP"), {"move 0x08"}, {T::TiltUpAck()}, "OLD"},
        {"tilt down", Command("TILT_DOWN"), {"move 0x10"}, {T::TiltDownAck()}, "OLD"},
        {"pan left", Command("PAN_LEFT"), {"move 0x04"}, {T::PanLeftAck()}, "OLD"},
        {"pan right", Command("PAN_RIGHT"), {"move 0x02"}, {T::PanRightAck()}, "OLD"},
        {"head stop", Command("PAN_TILT_STOP", m), {"move 0x00"}, {T::PanTiltStopAck("M-7")}, ""},
        {"set pan 360", Command("SET_PAN", Field("PAN", "360") + m), {"moveTo K 360 0"}, {}, "M-7"},
        {"set pan 361", Command("SET_PAN", Field("PAN", "361") + m), {}, {T::SetPanNg("M-7")}, ""},
        {"set pan -1", Command("SET_PAN", Field("PAN", "-1") + m), {}, {T::SetPanNg("M-7")}, ""},
        {"set tilt 90", Command("SET_TILT", Field("TILT", "90") + m), {"moveTo M 0 90"}, {}, "M-7"},
        {"set tilt 320",
         Command("SET_TILT", Field("TILT", "320") + m),
         {"moveTo M 0 320"},
         {},
         "M-7"},
        {"set tilt 360",
         Command("SET_TILT", Field("TILT", "360") + m),
         {"moveTo M 0 360"},
         {},
         "M-7"},
        {"set tilt 91",
         Command("SET_TILT", Field("TILT", "91") + m),
         {},
         {T::SetTiltNg("M-7")},
         ""},
        {"set tilt 319",
         Command("SET_TILT", Field("TILT", "319") + m),
         {},
         {T::SetTiltNg("M-7")},
         ""},
        {"set tilt 361",
         Command("SET_TILT", Field("TILT", "361") + m),
         {},
         {T::SetTiltNg("M-7")},
         ""},
        {"set both",
         Command("SET_PAN_TILT", Field("PAN", "10") + Field("TILT", "90") + m),
         {"init flag 0", "moveTo N 10 90"},
         {},
         "M-7"},
        // The combined command takes tilt 0 to 90 only.
        {"set both tilt 330",
         Command("SET_PAN_TILT", Field("PAN", "10") + Field("TILT", "330") + m),
         {},
         {T::SetPanTiltNg("M-7")},
         ""},
        {"get pan", Command("GET_PAN", m), {"query pan"}, {}, "M-7"},
        {"get tilt", Command("GET_TILT", m), {"query tilt"}, {}, "M-7"},
        {"get both", Command("GET_PAN_TILT", m), {"query both"}, {}, "M-7"},
        {"init",
         Command("INIT_PAN_TILT"),
         {"init flag 1", "init frame", "init timer"},
         {T::InitPanTiltAck()},
         "OLD"},
        {"start top",
         Command("INSPECTION_START", Field("INSPECTION_ID", "12") + Field("ENGINE_ID", "ENG-1") +
                                         Field("SENSOR_INDEX", "0") + m),
         {"start ENG-1 12"},
         {T::InspectionStartAck("M-7")},
         "M-7"},
        // Another sensor index keeps the engine and mission ids but not the inspection id.
        {"start sensor 1",
         Command("INSPECTION_START", Field("INSPECTION_ID", "12") + Field("ENGINE_ID", "ENG-1") +
                                         Field("SENSOR_INDEX", "1") + m),
         {"start ENG-1 -"},
         {T::InspectionStartAck("M-7")},
         "M-7"},
        {"start without engine",
         Command("INSPECTION_START", Field("SENSOR_INDEX", "0")),
         {"start PREVIOUS 0"},
         {T::InspectionStartAck("OLD")},
         "OLD"},
        {"unknown", Command("SELF_DESTRUCT", m), {}, {}, "OLD"},
        {"lower case", Command("inspection_stop", m), {}, {}, "OLD"},
        {"two command ids", Command("TILT_UP", Field("CMD_ID", "TILT_DOWN")), {}, {}, "OLD"},
        {"sync response", Command("EQUIPMENT_ENGINE_DB_SYNC_RESPONSE"), {}, {}, "OLD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        // An exchange still open from before, and an engine named by an earlier start.
        f.handler.HandleControlCommand(Command("GET_PAN", Field("MISSION_ID", "OLD")));
        f.handler.HandleControlCommand(Command(
            "INSPECTION_START", Field("ENGINE_ID", "PREVIOUS") + Field("MISSION_ID", "OLD")));
        f.target.calls.clear();
        f.control.clear();
        f.handler.HandleControlCommand(c.command);
        EXPECT_EQ(f.target.calls, c.calls);
        EXPECT_EQ(f.control, c.replies);
        EXPECT_EQ(f.handler.missionId(), c.missionAfter);
        EXPECT_TRUE(f.status.isEmpty());
    }
}

TEST(ControlCommandHandlerTest, TwoMissionIdsKeepThePreviousOne) {
    Fixture f;
    f.handler.HandleControlCommand(Command("GET_PAN", Field("MISSION_ID", "KEEP")));
    f.handler.HandleControlCommand(
        Command("INSPECTION_STOP", Field("MISSION_ID", "A") + Field("MISSION_ID", "B")));
    EXPECT_EQ(f.control, QStringList{T::InspectionStopAck("KEEP")});
}

TEST(ControlCommandHandlerTest, RangeAndParseFailuresWriteTheirLines) {
    const struct {
        QString command;
        QString line;
    } cases[] = {
        {Command("SET_PAN", Field("PAN", "361")),
         QStringLiteral("[CWebServerSocket::OnReceive] Skip : Pan 모터 범위는 0° ~ 360°입니다.")},
        {Command("SET_TILT", Field("TILT", "100")),
         QStringLiteral("Tilt 모터 범위는 0° ~ 90°, 320° ~ 360°입니다.")},
        {Command("SET_PAN_TILT", Field("PAN", "-1") + Field("TILT", "5")),
         QStringLiteral("[Skip] Pan(65535) or Tilt(5) 모터 범위 NG")},
        {QStringLiteral("<ELEMENT><CMD_ID>TILT_UP</ELEMENT>"), QStringLiteral("[XML Load ERROR]")},
        {Command("EQUIPMENT_ENGINE_DB_SYNC_RESPONSE"),
         QStringLiteral("Get : EQUIPMENT_ENGINE_DB_SYNC_RESPONSE")},
        {Command("UGV_INFOR_RESPONSE"), QStringLiteral("UGV_INFOR_RESPONSE")},
    };
    for (const auto& c : cases) {
        Fixture f;
        LogCapture log;
        f.handler.HandleControlCommand(c.command);
        EXPECT_TRUE(log.contains(c.line)) << c.line.toStdString() << "\n"
                                          << log.lines().join('\n').toStdString();
    }
}

TEST(ControlCommandHandlerTest, VehicleInformationStoresCodeAndName) {
    Fixture f;
    f.handler.setUgvCode(QStringLiteral("CONFIGURED"));
    f.handler.HandleControlCommand(
        Command("UGV_INFOR_RESPONSE", Field("UGV_CODE", "차량-7") + Field("UGV_NAME", "일곱")));
    EXPECT_EQ(f.handler.ugvCode(), QStringLiteral("차량-7"));
    EXPECT_EQ(f.handler.ugvName(), QStringLiteral("일곱"));
    EXPECT_EQ(f.target.calls, QStringList{QStringLiteral("vehicle 차량-7")});
    // An empty code is stored and passed on (the push starts only for a code).
    f.handler.HandleControlCommand(Command("UGV_INFOR_RESPONSE", Field("UGV_CODE", "")));
    EXPECT_EQ(f.handler.ugvCode(), QString());
    EXPECT_EQ(f.target.calls.last(), QStringLiteral("vehicle "));
    // Without the element, nothing changes.
    f.handler.HandleControlCommand(Command("UGV_INFOR_RESPONSE", Field("UGV_NAME", "X")));
    EXPECT_EQ(f.target.calls.size(), 2);
    EXPECT_EQ(f.handler.ugvName(), QStringLiteral("X"));
    EXPECT_TRUE(f.control.isEmpty());
}

TEST(ControlCommandHandlerTest, RecordedRunsReportTopRunsUnderTheNewestMission) {
    Fixture f;
    f.handler.HandleControlCommand(
        Command("INSPECTION_START", Field("SENSOR_INDEX", "0") + Field("MISSION_ID", "FIRST")));
    // A newer command's mission id is the one the waiting run reports.
    f.handler.HandleControlCommand(Command("GET_TILT", Field("MISSION_ID", "NEWER")));
    f.control.clear();
    f.handler.OnRunRecorded({41, 1, QStringLiteral("Top")});
    EXPECT_EQ(f.control, QStringList{T::InspectionComplete(41, 1, "NEWER")});
    EXPECT_EQ(f.handler.missionId(), QString());
    // Another sensor's run goes out as an empty message and leaves the mission id.
    f.handler.HandleControlCommand(Command("GET_TILT", Field("MISSION_ID", "KEPT")));
    f.control.clear();
    f.handler.OnRunRecorded({42, 0, QString()});
    EXPECT_EQ(f.control, QStringList{QString()});
    EXPECT_EQ(f.handler.missionId(), QStringLiteral("KEPT"));
}

TEST(ControlCommandHandlerTest, StationMessagesOfTheirOwnAccord) {
    Fixture f;
    f.handler.OnPanTiltInitComplete();
    f.handler.SendUgvInforRequest();
    f.handler.SendDbSyncRequest();
    EXPECT_EQ(f.control, (QStringList{T::InitPanTiltComplete(), T::UgvInforRequest(),
                                      T::EquipmentEngineDbSyncRequest()}));
    EquipmentStatus status;
    status.camera = 1;
    status.panTilt = 0;
    status.beacon = 1;
    status.cpu = 12.5f;
    status.pan_deg = 1.5;
    status.tilt_deg = 45;
    f.handler.OnEquipmentStatus(status);
    ASSERT_EQ(f.status.size(), 1);
    EXPECT_EQ(f.status[0], T::EquipmentStatus(1, 0, 1, 12.5, 0.0, 1.5, 45.0));
    EXPECT_TRUE(f.status[0].contains(QStringLiteral("<TEMPERATURE>0.0</TEMPERATURE>")));
}
