#pragma once
// One connection of one database operation: opened fresh, speaking euckr (code page 949), and
// closed when the object goes, whatever happened in between.

#include "storage/DbProfile.h"
#include "storage/DbRow.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

struct st_mysql;

// Time limits of every connection: a server that accepts and never answers costs seconds, not
// a frozen window. The connect limit also covers the server's greeting.
inline constexpr unsigned kDbConnectTimeout_s = 3;
inline constexpr unsigned kDbReadTimeout_s = 10;
inline constexpr unsigned kDbWriteTimeout_s = 10;

// Statement buffer sizes; a statement may use all but the terminating zero.
inline constexpr std::size_t kStatementBufferSize = 2048;
inline constexpr std::size_t kResultInsertBufferSize = 4096;
inline constexpr std::size_t kCopyStatementBufferSize = 8192;

class CDbConnection {
  public:
    // Connects with the profile (no socket path, client flags 0, the time limits above) and
    // sends "set names euckr". nullptr when the server refused or did not answer in time.
    static std::unique_ptr<CDbConnection> Open(const DbProfile& profile);
    ~CDbConnection();
    CDbConnection(const CDbConnection&) = delete;
    CDbConnection& operator=(const CDbConnection&) = delete;

    // The text in code page 949, escaped for a literal between single quotes.
    QByteArray escape(const QString& text) const;

    // Copies the statement into its zero-filled buffer and sends it as one text query. A
    // statement that does not fit is not sent; errorText() then says why.
    bool execute(const QByteArray& statement, std::size_t bufferSize = kStatementBufferSize);
    // execute() and the whole result set fetched into memory; NULL values read as empty text.
    bool select(const QByteArray& statement, std::vector<DbRow>& rows,
                std::size_t bufferSize = kStatementBufferSize);
    // A prepared statement with its one '?' bound as a BLOB of the given bytes.
    bool executeWithBlob(const QByteArray& statement, const QByteArray& blob);

    // The client's error text of the last failed call (or why a statement was not sent).
    QString errorText() const;

    // Connections of this process that are open now (every path must bring it back to 0).
    static int openCount();

  private:
    explicit CDbConnection(st_mysql* handle);
    bool fits(const QByteArray& statement, std::size_t bufferSize);

    st_mysql* m_handle;
    QString m_ownError;
    static std::atomic<int> s_openCount;
};

// printf-style statement text; text values go in as CDbConnection::escape() bytes.
QByteArray SqlFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
