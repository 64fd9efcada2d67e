#include "storage/DbAccess.h"

#include "app/StationConfig.h"
#include "app/StationDialogs.h"

QString ConnectionFailedText() {
    return QStringLiteral("데이터베이스 연결에 실패했습니다.");
}

std::unique_ptr<CDbConnection> ConnectOrReport(const DbProfile& profile,
                                               const DbDialogText& failure) {
    auto connection = CDbConnection::Open(profile);
    if (!connection) {
        ShowMessage(failure.caption, failure.text);
    }
    return connection;
}

QString QueryFailureBoxText(const QString& failureText, const QString& errorText) {
    return failureText + QStringLiteral("\n[Error]") + errorText;
}

void ReportQueryFailure(const QString& failureText, const QString& errorText) {
    ShowSystemMessage(QString::fromUtf8(kDefaultSoftwareTitle),
                      QueryFailureBoxText(failureText, errorText));
}

bool ExecuteOrReport(CDbConnection& connection, const QByteArray& statement,
                     const QString& failureText, std::size_t bufferSize) {
    if (connection.execute(statement, bufferSize)) {
        return true;
    }
    ReportQueryFailure(failureText, connection.errorText());
    return false;
}

bool SelectOrReport(CDbConnection& connection, const QByteArray& statement,
                    std::vector<DbRow>& rows, const QString& failureText, std::size_t bufferSize) {
    if (connection.select(statement, rows, bufferSize)) {
        return true;
    }
    ReportQueryFailure(failureText, connection.errorText());
    return false;
}

DualWriteOutcome WriteBridgeThenWeb(const DbProfile& web, const DbProfile& bridge,
                                    const StatementBuilder& build, const DualWriteTexts& texts,
                                    std::size_t bufferSize) {
    DualWriteOutcome outcome;
    auto webConnection = ConnectOrReport(web, texts.webConnectFailure);
    if (!webConnection) {
        return outcome;
    }
    auto bridgeConnection = ConnectOrReport(bridge, texts.bridgeConnectFailure);
    if (!bridgeConnection) {
        return outcome;  // the web connection closes here: nothing is written to either
    }
    outcome.connected = true;
    outcome.bridgeApplied = ExecuteOrReport(*bridgeConnection, build(*bridgeConnection),
                                            texts.bridgeQueryFailure, bufferSize);
    outcome.webApplied =
        ExecuteOrReport(*webConnection, build(*webConnection), texts.webQueryFailure, bufferSize);
    return outcome;
}
