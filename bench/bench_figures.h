#pragma once
// A main() for the benchmark programs: runs Google Benchmark (five
// repetitions unless told otherwise) and ends by printing each named figure
// as "figure-name: value unit", the median of the repetitions, so scripts
// can read them.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace lyricade::bench {

// Which benchmark gives which figure, and in which unit ("ms", "us", "x"...).
struct Figure {
  std::string Benchmark;  // the benchmark's name as registered
  std::string Name;       // the figure's name
  std::string Unit;       // "ms" or "us": the median real time in that unit
};

class FigureReporter : public benchmark::ConsoleReporter {
public:
  // Plain text, so every figure line starts clean for the scripts that read it.
  FigureReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string name = run.run_name.str();
      // The median aggregate wins; a single run stands when there is none.
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medians_[name] = run.GetAdjustedRealTime() * Scale(run.time_unit);
        fromMedian_[name] = true;
      } else if (run.run_type == Run::RT_Iteration && !fromMedian_[name]) {
        medians_[name] = run.GetAdjustedRealTime() * Scale(run.time_unit);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  // Seconds per unit of `unit`.
  static double Scale(benchmark::TimeUnit unit) {
    switch (unit) {
      case benchmark::kNanosecond: return 1e-9;
      case benchmark::kMicrosecond: return 1e-6;
      case benchmark::kMillisecond: return 1e-3;
      case benchmark::kSecond: return 1.0;
    }
    return 1.0;
  }
  // The median time in seconds, or a negative value when it did not run.
  double Seconds(const std::string& name) const {
    auto found = medians_.find(name);
    return found == medians_.end() ? -1.0 : found->second;
  }

private:
  std::map<std::string, double> medians_;
  std::map<std::string, bool> fromMedian_;
};

// Benchmarks that need a display run themselves again under xvfb-run when
// there is none. Returns only when a display is there (or cannot be had).
inline void RestartUnderXvfbIfNoDisplay(int argc, char** argv) {
  const char* display = std::getenv("DISPLAY");
  if (display && *display) return;
  std::vector<char*> args = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"),
                             const_cast<char*>("-s"), const_cast<char*>("-screen 0 1920x1080x24")};
  std::string self = "/proc/self/exe";
  char resolved[4096] = {};
  const ssize_t length = readlink(self.c_str(), resolved, sizeof(resolved) - 1);
  if (length > 0) self.assign(resolved, static_cast<size_t>(length));
  args.push_back(self.data());
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  args.push_back(nullptr);
  execvp("xvfb-run", args.data());
  std::fprintf(stderr, "%s: no display and no xvfb-run\n", argv[0]);
}

inline int RunWithFigures(int argc, char** argv, const std::vector<Figure>& figures) {
  std::vector<char*> args(argv, argv + argc);
  bool repetitionsGiven = false;
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]).rfind("--benchmark_repetitions", 0) == 0) repetitionsGiven = true;
  std::string repetitions = "--benchmark_repetitions=5";
  std::string aggregates = "--benchmark_report_aggregates_only=true";
  if (!repetitionsGiven) {
    args.push_back(repetitions.data());
    args.push_back(aggregates.data());
  }
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  FigureReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  for (const Figure& figure : figures) {
    const double seconds = reporter.Seconds(figure.Benchmark);
    if (seconds < 0) continue;
    const double value = figure.Unit == "us" ? seconds * 1e6 : seconds * 1e3;
    std::printf("%s: %.3f %s\n", figure.Name.c_str(), value, figure.Unit.c_str());
  }
  return 0;
}

}  // namespace lyricade::bench
