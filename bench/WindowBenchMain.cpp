// The main() of the benchmarks that open windows.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "lib/ProgramFolder.h"

// The application lives in main(): Qt must not be torn down among the statics.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The shipped fonts beside the executable, wherever it is started from.
    setProgramFolder(QCoreApplication::applicationDirPath().toStdString());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
