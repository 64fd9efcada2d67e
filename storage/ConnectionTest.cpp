#include "storage/ConnectionTest.h"

#include "app/StationDialogs.h"
#include "storage/DbConnection.h"

bool TestDatabaseConnection(const DbProfile& profile) {
    return CDbConnection::Open(profile) != nullptr;
}

namespace {

std::thread StartConnectionTest(const DbProfile& profile, const QString& caption,
                                const QString& successText, const QString& failureText) {
    return std::thread([profile, caption, successText, failureText] {
        ShowMessage(caption, TestDatabaseConnection(profile) ? successText : failureText);
    });
}

}  // namespace

std::thread StartWebConnectionTest(const DbProfile& web) {
    return StartConnectionTest(web, QStringLiteral("Vorn DB 서버"),
                               QStringLiteral("Vorn DB 서버 연결 성공"),
                               QStringLiteral("Vorn DB 서버 연결에 실패했습니다."));
}

std::thread StartBridgeConnectionTest(const DbProfile& bridge) {
    return StartConnectionTest(bridge, QStringLiteral("Bridge DB 서버"),
                               QStringLiteral("Bridge DB 서버 연결 성공"),
                               QStringLiteral("Bridge DB 서버 연결에 실패했습니다."));
}
