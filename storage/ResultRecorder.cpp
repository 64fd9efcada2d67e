#include "storage/ResultRecorder.h"

#include "app/Cp949.h"
#include "app/DebugLog.h"
#include "storage/DbAccess.h"
#include "storage/SensorTable.h"

#include <QFile>

#include <algorithm>
#include <chrono>

namespace {

const DbDialogText kResultConnectFailure{QStringLiteral("검사결과"), ConnectionFailedText()};

constexpr int kProductPosition = 3;
constexpr int kSensorPosition = 4;
constexpr int kBarcodePosition = 5;
constexpr int kDateTimePosition = 6;
constexpr int kErrorPosition = 7;

QString VerdictText(bool ng) {
    return ng ? QStringLiteral("NG") : QStringLiteral("OK");
}

}  // namespace

CResultRecorder::CResultRecorder(const StationDbProfiles& profiles, const StationConfig& config,
                                 const ProductRecord& record, CDayCounterStore& counters,
                                 InspectionResultHost& host)
    : m_profiles(profiles),
      m_config(config),
      m_record(record),
      m_counters(counters),
      m_host(host) {}

CResultRecorder::~CResultRecorder() {
    // Closing does not wait for a picture worker still running: it may wait for a server that
    // does not answer, or for the operator to confirm its dialog on this very thread. A worker
    // owns copies of everything it uses.
    std::lock_guard lock(m_workersMutex);
    for (PictureWorker& worker : m_workers) {
        if (worker.done->load()) {
            worker.thread.join();
        } else {
            worker.thread.detach();
        }
    }
}

QByteArray CResultRecorder::ResultInsertStatement(const CDbConnection& c, const RunOutcome& run,
                                                  bool ng) const {
    const double stamp = ng ? static_cast<double>(run.top_ng_time) : 0.0;
    const double peak = ng ? static_cast<double>(run.top_peak_level) : 0.0;
    return SqlFormat(
        "INSERT INTO t_inspection(product_name, sensor_type, barcode, datetime, error, t_error, "
        "t_mode, t_stamp, t_peak, b_error, b_mode, b_stamp, b_peak, reserved_str_01, "
        "t_filename_img, b_filename_img, t_filename_wave, b_filename_wave, t_filename_data, "
        "b_filename_data, reserved_str_02, plant_id, ugv_id, location_id, navigation_id, "
        "waypoint_id, waypoint_x, waypoint_y, map_id, target_id, course_start_time) VALUES ('%s', "
        "'%s', '%s', '%s', %d, %d, %d, '%.1f', '%.1f' , %d, %d, '%.1f', '%.1f', '%s', "
        "'%s','%s','%s','%s','%s','%s','%s','%s','%s','%s','%s','%s', %.10f, %.10f, %d,'%s', %d "
        ");",
        c.escape(m_record.product_name).constData(), c.escape(run.sensor_name).constData(),
        c.escape(run.barcode).constData(), c.escape(run.run_stamp).constData(), ng ? 1 : 0,
        run.top_ng_latch, run.top_inspection_mode, stamp, peak, 0, 0, 0.0, 0.0, "",
        c.escape(run.top_image_path).constData(), c.escape(run.bottom_image_path).constData(),
        c.escape(run.top_wave_path).constData(), "", "", "",
        c.escape(m_record.reserved_str_01).constData(), c.escape(m_config.plant_id).constData(),
        c.escape(m_config.ugv_code).constData(), "", "", "", 0.0, 0.0, 0, "", 0);
}

bool CResultRecorder::RecordInspectionResult(const RunOutcome& run) {
    const bool ng = run.top_inspection_mode == 1 && run.top_ng_latch != 0;
    // One date for the whole recording: the day that counts the run is the day whose rows are
    // written, even when midnight passes in between.
    const QString today = m_counters.today();

    {
        auto connection = ConnectOrReport(m_profiles.local(), kResultConnectFailure);
        if (!connection) {
            return false;
        }
        // A run after midnight counts on the new day's rows, which may not exist yet.
        m_counters.ensureToday(m_record.product_name, today);

        const QByteArray insert = ResultInsertStatement(*connection, run, ng);
        if (ExecuteOrReport(*connection, insert,
                            QStringLiteral("[ERROR]검사결과 Local DB 입력 실패"),
                            kResultInsertBufferSize)) {
            m_host.appendResultRow({QString::number(m_host.resultRowCount() + 1), run.run_stamp,
                                    run.barcode, VerdictText(ng), run.sensor_name,
                                    m_record.product_name});
            m_host.selectLastResultRow();
            DayCounters& c = m_counters.counters();
            ++c.product_total;
            ++c.today_total;
            if (ng) {
                ++c.product_ng;
                ++c.today_ng;
            } else {
                ++c.product_pass;
                ++c.today_pass;
            }
            m_counters.showCounters();
        }
    }

    m_counters.updateProductSummary(m_record.product_name, today);
    m_counters.updateTodaySummary(today);

    startStoreResultPicture(
        {run.sensor_name, run.inspection_id, run.top_ng_latch, run.top_picture_path});
    return true;
}

void CResultRecorder::LoadTodayResults() {
    m_host.clearResultList();
    auto connection = ConnectOrReport(m_profiles.local(), kResultConnectFailure);
    if (!connection) {
        return;
    }
    const QString today = m_counters.today();
    const QString from = QStringLiteral("%1 %2").arg(today, QStringLiteral("00:00:00"));
    const QString to = QStringLiteral("%1 %2").arg(today, QStringLiteral("23:59:59"));
    std::vector<DbRow> rows;
    if (!SelectOrReport(
            *connection,
            SqlFormat("SELECT * FROM t_inspection WHERE datetime BETWEEN '%s' AND "
                      "'%s' ORDER BY num;",
                      connection->escape(from).constData(), connection->escape(to).constData()),
            rows, QStringLiteral("[ERROR]검사결과 데이터베이스 조회 실패"))) {
        return;
    }
    int number = 0;
    for (const DbRow& row : rows) {
        // The server gives the date-time with colons; the list shows it as the run stamp.
        const QString when =
            DbText(row, kDateTimePosition).replace(QLatin1Char(':'), QLatin1Char('-'));
        m_host.appendResultRow({QString::number(++number), when, DbText(row, kBarcodePosition),
                                VerdictText(DbInt(row, kErrorPosition) != 0),
                                DbText(row, kSensorPosition), DbText(row, kProductPosition)});
    }
    m_host.selectLastResultRow();
}

void CResultRecorder::startStoreResultPicture(const ResultPictureJob& job) {
    const DbProfile bridge = m_profiles.bridge();
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::lock_guard lock(m_workersMutex);
    // Workers of earlier runs that have finished are joined here, so they do not pile up.
    std::erase_if(m_workers, [](PictureWorker& worker) {
        if (!worker.done->load()) {
            return false;
        }
        worker.thread.join();
        return true;
    });
    m_workers.push_back({std::thread([bridge, job, done] {
                             StoreResultPicture(bridge, job);
                             done->store(true);
                         }),
                         done});
}

void CResultRecorder::waitForPictureWorkers() {
    std::vector<PictureWorker> workers;
    {
        std::lock_guard lock(m_workersMutex);
        workers.swap(m_workers);
    }
    for (PictureWorker& worker : workers) {
        worker.thread.join();
    }
}

int CResultRecorder::finishPictureWorkers(int limit_ms) {
    std::vector<PictureWorker> workers;
    {
        std::lock_guard lock(m_workersMutex);
        workers.swap(m_workers);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    const auto allDone = [&] {
        return std::all_of(workers.begin(), workers.end(),
                           [](const PictureWorker& worker) { return worker.done->load(); });
    };
    while (!allDone() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    int left = 0;
    for (PictureWorker& worker : workers) {
        if (worker.done->load()) {
            worker.thread.join();
        } else {
            worker.thread.detach();
            ++left;
        }
    }
    if (left > 0) {
        DebugLogf(
            "[Shutdown] %d result picture worker(s) still running after %d ms, left to end "
            "on their own",
            left, limit_ms);
    }
    return left;
}

void CResultRecorder::StoreResultPicture(const DbProfile& bridge, const ResultPictureJob& job) {
    if (job.sensor_name != QLatin1String(kSensorTop)) {
        return;
    }
    auto connection = ConnectOrReport(
        bridge,
        {QStringLiteral("검사결과"), QStringLiteral("Web 데이터베이스 연결에 실패했습니다.")});
    if (!connection) {
        return;
    }
    const QByteArray statement = SqlFormat(
        "INSERT INTO t_inspection_result(inspection_id, inspection_result, image_data) VALUES "
        "(%d, %d, ?);",
        job.inspection_id, job.top_ng_latch);
    DebugLog(QStringLiteral("Top : ") + QString::fromLatin1(statement));
    QFile file(job.top_picture_path);
    if (job.top_picture_path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        DebugLog(QStringLiteral("이미지 파일을 열 수 없습니다."));
        return;
    }
    const QByteArray picture = file.readAll();
    file.close();
    connection->executeWithBlob(statement, picture);
}
