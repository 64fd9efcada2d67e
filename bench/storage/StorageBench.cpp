// Cost of the per-operation connection pattern on loopback: connect, "set names euckr", one
// statement, close. Needs the provisioned server on 127.0.0.1:3306.
#include "app/Utilities.h"
#include "storage/DbConnection.h"
#include "storage/ProductTable.h"
#include "storage/StationDbProfiles.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace {

void BM_ConnectQueryClose(benchmark::State& state) {
    const DbProfile local = LocalDbProfile();
    const QByteArray statement =
        SqlFormat("SELECT * FROM t_summary WHERE product_name = 'Today' AND DATE = '%s';",
                  TodayText().toLatin1().constData());
    for (auto _ : state) {
        auto connection = CDbConnection::Open(local);
        if (!connection) {
            state.SkipWithError("the local database does not answer");
            break;
        }
        std::vector<DbRow> rows;
        benchmark::DoNotOptimize(connection->select(statement, rows));
    }
}
BENCHMARK(BM_ConnectQueryClose)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();

void BM_LoadProductRecord(benchmark::State& state) {
    StationDbProfiles profiles;
    for (auto _ : state) {
        ProductRecord record;
        benchmark::DoNotOptimize(LoadProductRecord(profiles.bridge(), "DEMO-A1", record));
    }
}
BENCHMARK(BM_LoadProductRecord)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf(
                "storage_bench: median time of one database operation (connect, set names "
                "euckr, one statement, close) on 127.0.0.1:3306.\nRun "
                "deploy/provision-db.sh --demo first. Google Benchmark options follow:\n");
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
