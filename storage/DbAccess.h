#pragma once
// The one pattern every database operation follows: connect (reporting a failure with the
// operation's dialog), run statements (reporting a rejected one with the query failure box),
// and close on every path (the connections are owned by unique_ptr).

#include "storage/DbConnection.h"
#include "storage/DbProfile.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

// A dialog caption and text.
struct DbDialogText {
    QString caption;
    QString text;
};

// Connects; on failure shows the connection failure dialog (ShowMessage) and returns nullptr.
std::unique_ptr<CDbConnection> ConnectOrReport(const DbProfile& profile,
                                               const DbDialogText& failure);

// The query failure box: the operation's text, "\n[Error]" and the client's error text.
void ReportQueryFailure(const QString& failureText, const QString& errorText);
QString QueryFailureBoxText(const QString& failureText, const QString& errorText);

bool ExecuteOrReport(CDbConnection& connection, const QByteArray& statement,
                     const QString& failureText, std::size_t bufferSize = kStatementBufferSize);
bool SelectOrReport(CDbConnection& connection, const QByteArray& statement,
                    std::vector<DbRow>& rows, const QString& failureText,
                    std::size_t bufferSize = kStatementBufferSize);

// What a write to the web and the bridge database did.
struct DualWriteOutcome {
    bool connected = false;  // both connections opened; false: nothing was sent anywhere
    bool bridgeApplied = false;
    bool webApplied = false;
};

struct DualWriteTexts {
    DbDialogText webConnectFailure;
    DbDialogText bridgeConnectFailure;
    QString bridgeQueryFailure;
    QString webQueryFailure;
};

// Builds the statement text from a connection (for its escaping).
using StatementBuilder = std::function<QByteArray(const CDbConnection&)>;

// Connects web, then bridge; when both are open applies the statement to the bridge and then
// to the web database (a rejected bridge statement does not stop the web one).
DualWriteOutcome WriteBridgeThenWeb(const DbProfile& web, const DbProfile& bridge,
                                    const StatementBuilder& build, const DualWriteTexts& texts,
                                    std::size_t bufferSize = kStatementBufferSize);

// The connection failure text most operations use.
QString ConnectionFailedText();
