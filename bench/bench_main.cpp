// Runs the benchmarks, inside a QApplication on Qt's offscreen platform where the
// window's painting is timed too.
#include <benchmark/benchmark.h>

#ifdef TILERUSH_BENCH_QT
#include <QApplication>
#endif

int main(int argc, char** argv) {
#ifdef TILERUSH_BENCH_QT
  // Painting is timed into images: no display is needed, and none is wanted.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
#endif
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
