#include "storage/DbConnection.h"

#include "app/CLocaleFormat.h"
#include "app/Cp949.h"

#include <mysql.h>

#include <cstdarg>
#include <cstring>

std::atomic<int> CDbConnection::s_openCount{0};

std::unique_ptr<CDbConnection> CDbConnection::Open(const DbProfile& profile) {
    MYSQL* handle = mysql_init(nullptr);
    if (handle == nullptr) {
        return nullptr;
    }
    const unsigned connectTimeout = kDbConnectTimeout_s;
    const unsigned readTimeout = kDbReadTimeout_s;
    const unsigned writeTimeout = kDbWriteTimeout_s;
    mysql_options(handle, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
    mysql_options(handle, MYSQL_OPT_READ_TIMEOUT, &readTimeout);
    mysql_options(handle, MYSQL_OPT_WRITE_TIMEOUT, &writeTimeout);
    const QByteArray host = profile.host.toUtf8();
    const QByteArray user = profile.user.toUtf8();
    const QByteArray password = profile.password.toUtf8();
    const QByteArray database = profile.database.toUtf8();
    if (mysql_real_connect(handle, host.constData(), user.constData(), password.constData(),
                           database.constData(), static_cast<unsigned>(profile.port), nullptr,
                           0) == nullptr) {
        mysql_close(handle);
        return nullptr;
    }
    std::unique_ptr<CDbConnection> connection(new CDbConnection(handle));
    mysql_query(handle, "set names euckr");
    // The client must know the character set too, or its escaping would not see CP949's
    // two-byte characters as one.
    mysql_set_character_set(handle, "euckr");
    return connection;
}

CDbConnection::CDbConnection(st_mysql* handle) : m_handle(handle) {
    ++s_openCount;
}

CDbConnection::~CDbConnection() {
    mysql_close(m_handle);
    --s_openCount;
}

int CDbConnection::openCount() {
    return s_openCount.load();
}

QByteArray CDbConnection::escape(const QString& text) const {
    const QByteArray raw = ToCp949(text);
    QByteArray escaped(raw.size() * 2 + 1, '\0');
    const unsigned long length =
        mysql_real_escape_string(m_handle, escaped.data(), raw.constData(), raw.size());
    escaped.truncate(static_cast<qsizetype>(length));
    return escaped;
}

bool CDbConnection::fits(const QByteArray& statement, std::size_t bufferSize) {
    if (static_cast<std::size_t>(statement.size()) < bufferSize) {
        return true;
    }
    m_ownError =
        QStringLiteral("SQL 문장이 너무 깁니다 (%1 바이트, 최대 %2 바이트). 보내지 않았습니다.")
            .arg(statement.size())
            .arg(bufferSize - 1);
    return false;
}

bool CDbConnection::execute(const QByteArray& statement, std::size_t bufferSize) {
    m_ownError.clear();
    if (!fits(statement, bufferSize)) {
        return false;
    }
    std::vector<char> buffer(bufferSize, '\0');
    std::memcpy(buffer.data(), statement.constData(), static_cast<std::size_t>(statement.size()));
    return mysql_query(m_handle, buffer.data()) == 0;
}

bool CDbConnection::select(const QByteArray& statement, std::vector<DbRow>& rows,
                           std::size_t bufferSize) {
    rows.clear();
    if (!execute(statement, bufferSize)) {
        return false;
    }
    MYSQL_RES* result = mysql_store_result(m_handle);
    if (result == nullptr) {
        // A statement without a result set has no rows; a failed fetch is a failure.
        return mysql_field_count(m_handle) == 0;
    }
    const unsigned int columns = mysql_num_fields(result);
    while (MYSQL_ROW fetched = mysql_fetch_row(result)) {
        const unsigned long* lengths = mysql_fetch_lengths(result);
        DbRow row;
        row.reserve(columns);
        for (unsigned int i = 0; i < columns; ++i) {
            row.push_back(fetched[i] == nullptr
                              ? QByteArray()
                              : QByteArray(fetched[i], static_cast<qsizetype>(lengths[i])));
        }
        rows.push_back(std::move(row));
    }
    mysql_free_result(result);
    return true;
}

bool CDbConnection::executeWithBlob(const QByteArray& statement, const QByteArray& blob) {
    m_ownError.clear();
    MYSQL_STMT* prepared = mysql_stmt_init(m_handle);
    if (prepared == nullptr) {
        return false;
    }
    mysql_stmt_prepare(prepared, statement.constData(),
                       static_cast<unsigned long>(statement.size()));
    MYSQL_BIND bind;
    std::memset(&bind, 0, sizeof bind);
    unsigned long length = static_cast<unsigned long>(blob.size());
    bind.buffer_type = MYSQL_TYPE_BLOB;
    bind.buffer = const_cast<char*>(blob.constData());
    bind.buffer_length = length;
    bind.length = &length;
    bind.is_null = nullptr;
    mysql_stmt_bind_param(prepared, &bind);
    const bool executed = mysql_stmt_execute(prepared) == 0;
    mysql_stmt_close(prepared);
    return executed;
}

QString CDbConnection::errorText() const {
    if (!m_ownError.isEmpty()) {
        return m_ownError;
    }
    return FromCp949(QByteArray(mysql_error(m_handle)));
}

QByteArray SqlFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    QByteArray text = FormatCLocaleV(format, args);
    va_end(args);
    return text;
}
