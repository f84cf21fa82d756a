#pragma once
// A main() for the benchmark programs: runs Google Benchmark (five
// repetitions unless told otherwise) and ends by printing each named figure
// as "figure-name: value unit", the median of the repetitions, so scripts
// can read them.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
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

// The console table (plain text, so every figure line after it starts clean)
// plus, for each benchmark, its median (or only) real time and counters,
// found by the run's full name or by the benchmark function's name.
class FigureReporter : public benchmark::ConsoleReporter {
public:
  FigureReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median) continue;
      for (const std::string& name : {run.run_name.str(), run.run_name.function_name}) {
        Values& values = median ? medians_[name] : singles_[name];
        values.Seconds = run.GetAdjustedRealTime() * Scale(run.time_unit);
        for (const auto& [counter, value] : run.counters) values.Counters[counter] = value.value;
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
    const Values* values = Find(name);
    return values ? values->Seconds : -1.0;
  }
  // A counter's median value, 0 when missing.
  double Counter(const std::string& name, const std::string& counter) const {
    const Values* values = Find(name);
    if (!values) return 0.0;
    auto found = values->Counters.find(counter);
    return found == values->Counters.end() ? 0.0 : found->second;
  }

private:
  struct Values {
    double Seconds = -1.0;
    std::map<std::string, double> Counters;
  };
  const Values* Find(const std::string& name) const {
    if (auto it = medians_.find(name); it != medians_.end()) return &it->second;
    if (auto it = singles_.find(name); it != singles_.end()) return &it->second;
    return nullptr;
  }
  std::map<std::string, Values> medians_;
  std::map<std::string, Values> singles_;
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

// Runs the program's benchmarks (five repetitions, aggregates only, unless
// the command line says otherwise) and hands their results to `reporter`.
inline void RunReported(int argc, char** argv, FigureReporter& reporter) {
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
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}

// The process's resident memory in kilobytes, -1 when it cannot be read.
inline long ResidentKilobytes() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (!status) return -1;
  char line[256];
  long kilobytes = -1;
  while (std::fgets(line, sizeof line, status))
    if (std::strncmp(line, "VmRSS:", 6) == 0) kilobytes = std::atol(line + 6);
  std::fclose(status);
  return kilobytes;
}

// Runs `command` (a fresh copy of a benchmark printing its resident
// kilobytes) five times; the median in megabytes, -1 when it cannot run.
inline double MedianProbedMegabytes(const std::string& command) {
  std::vector<double> samples;
  for (int i = 0; i < 5; ++i) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    long kilobytes = -1;
    if (std::fscanf(pipe, "%ld", &kilobytes) != 1) kilobytes = -1;
    pclose(pipe);
    samples.push_back(kilobytes / 1024.0);
  }
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

inline int RunWithFigures(int argc, char** argv, const std::vector<Figure>& figures) {
  FigureReporter reporter;
  RunReported(argc, argv, reporter);
  for (const Figure& figure : figures) {
    const double seconds = reporter.Seconds(figure.Benchmark);
    if (seconds < 0) continue;
    const double value = figure.Unit == "us" ? seconds * 1e6 : seconds * 1e3;
    std::printf("%s: %.3f %s\n", figure.Name.c_str(), value, figure.Unit.c_str());
  }
  return 0;
}

}  // namespace lyricade::bench
