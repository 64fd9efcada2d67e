#pragma once
// The recording of finished runs: the t_inspection row and the counters in the local database,
// the result picture blob in the bridge database (on a worker thread per run), and today's
// result list.

#include "app/StationConfig.h"
#include "storage/DayCounterStore.h"
#include "storage/DbConnection.h"
#include "storage/DbProfile.h"
#include "storage/InspectionResultHost.h"
#include "storage/ProductRecord.h"
#include "storage/RunOutcome.h"
#include "storage/StationDbProfiles.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class CResultRecorder {
  public:
    CResultRecorder(const StationDbProfiles& profiles, const StationConfig& config,
                    const ProductRecord& record, CDayCounterStore& counters,
                    InspectionResultHost& host);
    // Leaves the picture workers still running to finish on their own.
    ~CResultRecorder();

    // RecordInspectionResult. False when the local database could not be reached (nothing was
    // recorded, counted or reported then).
    bool RecordInspectionResult(const RunOutcome& run);
    void LoadTodayResults();

    // The t_inspection insert of a run (4096-byte buffer).
    QByteArray ResultInsertStatement(const CDbConnection& connection, const RunOutcome& run,
                                     bool ng) const;

    // Starts StoreResultPicture on a worker thread of its own.
    void startStoreResultPicture(const ResultPictureJob& job);
    // Joins the picture workers started so far.
    void waitForPictureWorkers();
    // At shutdown: waits at most `limit_ms` for the picture workers, joins those that finished
    // and leaves the others to end on their own (each owns copies of what it uses; the database
    // time limits end it), with one debug line. Returns how many were left.
    int finishPictureWorkers(int limit_ms);

    // What the worker runs: the picture of a "Top" run as a blob into t_inspection_result.
    static void StoreResultPicture(const DbProfile& bridge, const ResultPictureJob& job);

  private:
    const StationDbProfiles& m_profiles;
    const StationConfig& m_config;
    const ProductRecord& m_record;
    CDayCounterStore& m_counters;
    InspectionResultHost& m_host;
    struct PictureWorker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::mutex m_workersMutex;
    std::vector<PictureWorker> m_workers;
};
