#pragma once
// Helpers for the storage suites: an administrator's connection to the real server that reads
// back what the station wrote (through UTF-8), names unique to one test, scratch databases, and
// recording hosts.

#include "inspection/ProductSelectionHost.h"
#include "sensor/SensorSettings.h"
#include "storage/DayCounters.h"
#include "storage/DbProfile.h"
#include "storage/InspectionResultHost.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

struct st_mysql;

using AdminValue = std::optional<std::string>;  // nullopt = NULL
using AdminRow = std::vector<AdminValue>;

// root on 127.0.0.1 with the local password, character set utf8mb4.
class AdminDb {
  public:
    AdminDb();
    ~AdminDb();
    bool ok() const { return m_handle != nullptr; }
    // A new connection, after the server was restarted under the old one.
    void reconnect();
    // Runs one statement (UTF-8); fails the test when the server rejects it.
    std::vector<AdminRow> query(const QString& sql);
    // The one value of a one-row, one-column query ("" for none).
    std::string value(const QString& sql);
    int threadsConnected();
    // Waits (up to 15 s) until the server has no more client threads than `baseline`.
    bool waitForThreadsAtMost(int baseline);
    // Creates a scratch database with the tables of the given deploy file.
    void createScratchDatabase(const QString& name, const QString& deployFile);
    void dropDatabase(const QString& name);

  private:
    void connect();
    st_mysql* m_handle = nullptr;
};

// "ut-<pid>-<n>-<tag>": a product name no other test uses.
QString UniqueName(const QString& tag);
// A date text no other test run uses, for the summary rows ("%04d-%02d-%02d").
QString UniqueDay();
// SQL literal of a UTF-8 text for the admin connection (quotes and backslashes doubled).
QString Quoted(const QString& text);
// Deletes the products, sensor rows, results and summaries whose name starts with the prefix.
void DeleteTestRows(AdminDb& db, const QString& prefix);

DbProfile UnreachableProfile(DbProfile profile);  // same profile on 127.0.0.2
DbProfile TestWebProfile();
DbProfile TestBridgeProfile();

class FakeSelectionHost : public ProductSelectionHost {
  public:
    void showResultText(const QString& text, int fontHeight, const QColor& color) override;
    void startScreenRefresh() override { calls << "refresh"; }
    void setInspectionState(int state) override { calls << QStringLiteral("state:%1").arg(state); }
    std::shared_ptr<const SensorSettings> updateSensorSettings(
        int sensorIndex, const std::function<void(SensorSettings&)>& change) override {
        if (sensorIndex != 0) {
            return nullptr;
        }
        change(settings);
        ++publications;
        return std::make_shared<const SensorSettings>(settings);
    }
    void resetSpotTracker(int count) override { calls << QStringLiteral("reset:%1").arg(count); }
    bool isSensorWorkerAlive() override { return workerAlive; }
    void sendMeasuringParameters(int distance, int freqMin, int freqMax) override {
        calls << QStringLiteral("measure:%1,%2,%3").arg(distance).arg(freqMin).arg(freqMax);
    }
    void setConnectionState(int state) override {
        calls << QStringLiteral("connection:%1").arg(state);
    }
    void startSensorLink() override { calls << "start"; }

    SensorSettings settings;
    int publications = 0;  // settings published as a whole
    bool workerAlive = false;
    QStringList calls;
};

class FakeResultHost : public InspectionResultHost {
  public:
    int resultRowCount() override { return static_cast<int>(rows.size()); }
    void clearResultList() override { rows.clear(); }
    void appendResultRow(const QStringList& texts) override { rows.push_back(texts); }
    void selectLastResultRow() override { calls << "select-last"; }

    std::vector<QStringList> rows;
    QStringList calls;
};

class FakeCounterDisplay : public CounterDisplay {
  public:
    void showCounters(const CounterTexts& texts) override { shown.push_back(texts); }
    std::vector<CounterTexts> shown;
};
