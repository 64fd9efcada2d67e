#include "tests/storage/DbTestSupport.h"

#include "app/StationConfig.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>
#include <mysql.h>
#include <unistd.h>

#include <atomic>
#include <random>

AdminDb::AdminDb() {
    connect();
}

void AdminDb::reconnect() {
    if (m_handle != nullptr) {
        mysql_close(m_handle);
        m_handle = nullptr;
    }
    connect();
}

void AdminDb::connect() {
    m_handle = mysql_init(nullptr);
    if (mysql_real_connect(m_handle, "127.0.0.1", "root", kLocalDatabasePassword, nullptr,
                           kDatabasePort, nullptr, 0) == nullptr) {
        ADD_FAILURE() << "administrator connection: " << mysql_error(m_handle);
        mysql_close(m_handle);
        m_handle = nullptr;
        return;
    }
    mysql_set_character_set(m_handle, "utf8mb4");
}

AdminDb::~AdminDb() {
    if (m_handle != nullptr) {
        mysql_close(m_handle);
    }
}

std::vector<AdminRow> AdminDb::query(const QString& sql) {
    std::vector<AdminRow> rows;
    if (m_handle == nullptr) {
        return rows;
    }
    const QByteArray text = sql.toUtf8();
    if (mysql_real_query(m_handle, text.constData(), static_cast<unsigned long>(text.size())) !=
        0) {
        ADD_FAILURE() << "admin query failed: " << text.constData() << ": "
                      << mysql_error(m_handle);
        return rows;
    }
    MYSQL_RES* result = mysql_store_result(m_handle);
    if (result == nullptr) {
        return rows;
    }
    const unsigned int columns = mysql_num_fields(result);
    while (MYSQL_ROW row = mysql_fetch_row(result)) {
        const unsigned long* lengths = mysql_fetch_lengths(result);
        AdminRow values;
        for (unsigned int i = 0; i < columns; ++i) {
            values.push_back(row[i] == nullptr ? AdminValue()
                                               : AdminValue(std::string(row[i], lengths[i])));
        }
        rows.push_back(std::move(values));
    }
    mysql_free_result(result);
    return rows;
}

std::string AdminDb::value(const QString& sql) {
    const auto rows = query(sql);
    if (rows.empty() || rows.front().empty() || !rows.front().front()) {
        return {};
    }
    return *rows.front().front();
}

int AdminDb::threadsConnected() {
    const auto rows = query("SHOW GLOBAL STATUS LIKE 'Threads_connected'");
    return rows.empty() ? -1 : std::stoi(rows.front().at(1).value_or("-1"));
}

bool AdminDb::waitForThreadsAtMost(int baseline) {
    QDeadlineTimer deadline(15000);
    while (true) {
        if (threadsConnected() <= baseline) {
            return true;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(50);
    }
}

void AdminDb::createScratchDatabase(const QString& name, const QString& deployFile) {
    query(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(name));
    query(
        QStringLiteral("CREATE DATABASE `%1` CHARACTER SET utf8mb4 COLLATE utf8mb4_bin").arg(name));
    query(QStringLiteral("USE `%1`").arg(name));
    QFile file(QStringLiteral(STATION_DEPLOY_DIR "/") + deployFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << deployFile.toStdString();
    QString script = QString::fromUtf8(file.readAll());
    QStringList statements;
    for (const QString& line : script.split('\n')) {
        if (!line.trimmed().startsWith(QLatin1String("--"))) {
            statements << line;
        }
    }
    for (const QString& statement : statements.join('\n').split(';')) {
        if (!statement.trimmed().isEmpty()) {
            query(statement);
        }
    }
}

void AdminDb::dropDatabase(const QString& name) {
    query(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(name));
}

QString UniqueName(const QString& tag) {
    static std::atomic<int> counter{0};
    static const int salt = std::random_device{}() % 100000;
    return QStringLiteral("ut-%1-%2-%3-%4").arg(getpid()).arg(salt).arg(++counter).arg(tag);
}

QString UniqueDay() {
    static std::atomic<int> counter{0};
    static const unsigned salt = std::random_device{}();
    const unsigned n =
        salt + static_cast<unsigned>(getpid()) * 31u + static_cast<unsigned>(++counter);
    return QString::asprintf("%04u-%02u-%02u", 3000 + n % 6000, 1 + (n / 6000) % 12,
                             1 + (n / 72000) % 28);
}

QString Quoted(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    escaped.replace(QLatin1String("'"), QLatin1String("''"));
    return QStringLiteral("'%1'").arg(escaped);
}

void DeleteTestRows(AdminDb& db, const QString& prefix) {
    const QString like = Quoted(prefix + "%");
    for (const char* database : {kWebDatabaseName, kBridgeDatabaseName}) {
        db.query(QStringLiteral("DELETE FROM %1.t_product WHERE product_name LIKE %2")
                     .arg(database, like));
        db.query(QStringLiteral("DELETE FROM %1.t_sensor WHERE product_name LIKE %2")
                     .arg(database, like));
    }
    db.query(QStringLiteral("DELETE FROM %1.t_inspection WHERE product_name LIKE %2")
                 .arg(kLocalDatabaseName, like));
    db.query(QStringLiteral("DELETE FROM %1.t_summary WHERE product_name LIKE %2")
                 .arg(kLocalDatabaseName, like));
}

DbProfile UnreachableProfile(DbProfile profile) {
    profile.host = QStringLiteral("127.0.0.2");
    return profile;
}

DbProfile TestWebProfile() {
    return WebDbProfile(QString::fromLatin1(kDefaultServerAddress),
                        QString::fromLatin1(kDefaultDatabasePassword));
}

DbProfile TestBridgeProfile() {
    return BridgeDbProfile(QString::fromLatin1(kDefaultServerAddress),
                           QString::fromLatin1(kDefaultDatabasePassword));
}

void FakeSelectionHost::showResultText(const QString& text, int fontHeight, const QColor& color) {
    calls << QStringLiteral("text:%1|%2|%3,%4,%5")
                 .arg(text)
                 .arg(fontHeight)
                 .arg(color.red())
                 .arg(color.green())
                 .arg(color.blue());
}
