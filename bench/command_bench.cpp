// Times the Apply and Remove commands on every input kind and size, with a
// plain memcpy of the same text as the floor, and measures the peak extra
// heap memory of each command. Ends with a summary table (medians).
//
//   build/bin/orlimo_bench                      # everything (a few minutes)
//   build/bin/orlimo_bench --benchmark_filter=/1MB
//   build/bin/orlimo_bench --write-input KIND MB FILE   # one input, for the command line
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "counting_allocator.h"
#include "skin_inputs.h"
#include "skin_patch_core.h"

namespace {

// Reads from a fixed input and stores into a string that keeps its capacity,
// so that the host adds nothing to a command's time but two copies.
class BenchHost : public TextViewHost {
public:
    explicit BenchHost(const std::string& input) : m_input(input)
    {
        m_output.reserve(3 * input.size() + 1024);
    }
    [[nodiscard]] const std::string& Output() const { return m_output; }

protected:
    std::string_view HostTextView() override { return m_input; }
    void HostSetText(std::string_view text) override { m_output.assign(text); }
    void HostShowMessage(std::string_view) override {}

private:
    const std::string& m_input;
    std::string m_output;
};

using Command = void (CSkinPatchCore::*)();

void RunCommand(benchmark::State& state, const std::string& input, Command command)
{
    BenchHost host(input);
    bench::ResetHeapPeak();
    const int64_t before = bench::HeapBytesInUse();
    (host.*command)();
    const double peakExtra = static_cast<double>(bench::HeapPeak() - before);

    rusage usageBefore{};
    getrusage(RUSAGE_SELF, &usageBefore);
    for (auto _ : state) {
        (host.*command)();
        benchmark::DoNotOptimize(host.Output().data());
    }
    rusage usageAfter{};
    getrusage(RUSAGE_SELF, &usageAfter);
    state.counters["faults"] =
        benchmark::Counter(static_cast<double>(usageAfter.ru_minflt - usageBefore.ru_minflt),
                           benchmark::Counter::kAvgIterations);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
    state.counters["peak_x"] =
        peakExtra / static_cast<double>(std::max<std::size_t>(input.size(), 1));
}

void RunMemcpy(benchmark::State& state, const std::string& input)
{
    std::vector<char> copy(input.size() + 1);
    for (auto _ : state) {
        std::memcpy(copy.data(), input.data(), input.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
}

struct Row {
    std::string input;
    std::size_t bytes = 0;
};

// Collects the medians (or the single runs) and prints the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!single && !median) continue;
            const double seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            m_seconds[run.run_name.function_name] = seconds;
            const auto peak = run.counters.find("peak_x");
            if (peak != run.counters.end()) m_peak[run.run_name.function_name] = peak->second;
        }
    }

    void PrintSummary(const std::vector<Row>& rows)
    {
        std::printf(
            "\n| input | bytes | Apply ms | Apply MB/s | Remove ms | Remove MB/s | memcpy us "
            "| Apply / memcpy | Apply peak xn | Remove peak xn |\n");
        std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
        for (const Row& row : rows) {
            const double apply = Get("Apply/" + row.input);
            const double remove = Get("Remove/" + row.input);
            const double copy = Get("memcpy/" + row.input);
            if (apply < 0 && remove < 0) continue;
            const double mb = static_cast<double>(row.bytes) / 1e6;
            std::printf("| %s | %zu | %s | %s | %s | %s | %s | %s | %s | %s |\n", row.input.c_str(),
                        row.bytes, Num(apply * 1e3, 3).c_str(), Num(mb / apply, 0).c_str(),
                        Num(remove * 1e3, 3).c_str(), Num(mb / remove, 0).c_str(),
                        Num(copy * 1e6, 3).c_str(), Num(apply / copy, 1).c_str(),
                        Num(Peak("Apply/" + row.input), 2).c_str(),
                        Num(Peak("Remove/" + row.input), 2).c_str());
        }
        PrintGrowth(rows);
    }

private:
    [[nodiscard]] double Get(const std::string& name) const
    {
        const auto it = m_seconds.find(name);
        return it == m_seconds.end() ? -1.0 : it->second;
    }
    [[nodiscard]] double Peak(const std::string& name) const
    {
        const auto it = m_peak.find(name);
        return it == m_peak.end() ? -1.0 : it->second;
    }
    [[nodiscard]] static std::string Num(double value, int decimals)
    {
        if (value < 0 || value != value) return "-";
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        return text;
    }

    // How the cost grows with the size, beside the growth of memcpy itself:
    // linear work grows 4x from 1 MB to 4 MB, but on a machine whose cache
    // holds the 1 MB working set and not the 4 MB one, so does nothing that
    // streams through memory. 4 MB / 2 MB compares two sizes beyond it.
    void PrintGrowth(const std::vector<Row>& rows)
    {
        std::printf(
            "\n| input kind | Apply 4MB / 1MB | Remove 4MB / 1MB | memcpy 4MB / 1MB "
            "| Apply 4MB / 2MB | Remove 4MB / 2MB | memcpy 4MB / 2MB |\n"
            "|---|---:|---:|---:|---:|---:|---:|\n");
        for (const Row& row : rows) {
            const std::string suffix = "/1MB";
            if (row.input.size() < suffix.size() ||
                row.input.compare(row.input.size() - suffix.size(), suffix.size(), suffix) != 0) {
                continue;
            }
            const std::string kind = row.input.substr(0, row.input.size() - suffix.size());
            auto ratio = [&](const char* command, const char* big, const char* small) {
                const double b = Get(std::string(command) + "/" + kind + "/" + big);
                const double a = Get(std::string(command) + "/" + kind + "/" + small);
                return Num(a > 0 && b > 0 ? b / a : -1, 2);
            };
            if (Get("Apply/" + kind + "/4MB") < 0 && Get("Remove/" + kind + "/4MB") < 0) continue;
            std::printf("| %s | %s | %s | %s | %s | %s | %s |\n", kind.c_str(),
                        ratio("Apply", "4MB", "1MB").c_str(), ratio("Remove", "4MB", "1MB").c_str(),
                        ratio("memcpy", "4MB", "1MB").c_str(), ratio("Apply", "4MB", "2MB").c_str(),
                        ratio("Remove", "4MB", "2MB").c_str(),
                        ratio("memcpy", "4MB", "2MB").c_str());
        }
    }

    std::map<std::string, double> m_seconds;
    std::map<std::string, double> m_peak;
};

std::string SizeName(double megabytes)
{
    char text[32];
    std::snprintf(text, sizeof text, megabytes < 1 ? "%.2gMB" : "%.0fMB", megabytes);
    return text;
}

void Register(const std::string& input, std::shared_ptr<const std::string> text,
              std::vector<Row>& rows)
{
    rows.push_back({input, text->size()});
    benchmark::RegisterBenchmark(
        ("Apply/" + input).c_str(),
        [text](benchmark::State& s) { RunCommand(s, *text, &CSkinPatchCore::OnApplyBBCode); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(
        ("Remove/" + input).c_str(),
        [text](benchmark::State& s) { RunCommand(s, *text, &CSkinPatchCore::OnRemoveBBCode); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("memcpy/" + input).c_str(),
                                 [text](benchmark::State& s) { RunMemcpy(s, *text); })
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
}

// Writes one input to a file, so that scripts can time the whole program on it.
[[nodiscard]] int WriteInput(const std::string& kindName, double mb, const char* path)
{
    for (const bench::InputKind& kind : bench::InputKinds()) {
        if (kind.name != kindName) continue;
        const std::string text = kind.make(static_cast<std::size_t>(mb * 1024 * 1024));
        std::FILE* file = std::fopen(path, "wb");
        const bool ok =
            file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
        return (file != nullptr && std::fclose(file) == 0 && ok) ? 0 : 1;
    }
    std::fprintf(stderr, "no input kind '%s'\n", kindName.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "--write-input") == 0) {
        return WriteInput(argv[2], std::atof(argv[3]), argv[4]);
    }
    // Defaults unless given on the command line: medians of five short runs.
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=5";
    std::string minTime = "--benchmark_min_time=0.1";
    std::string aggregates = "--benchmark_display_aggregates_only=true";
    auto given = [&](const char* flag) {
        for (int k = 1; k < argc; ++k) {
            if (std::strncmp(argv[k], flag, std::strlen(flag)) == 0) return true;
        }
        return false;
    };
    if (!given("--benchmark_repetitions")) args.push_back(repetitions.data());
    if (!given("--benchmark_min_time")) args.push_back(minTime.data());
    if (!given("--benchmark_display_aggregates_only")) args.push_back(aggregates.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

    std::vector<Row> rows;
    bool generated = false;
    Register("example", std::make_shared<const std::string>(bench::ExampleSkin(generated)), rows);
    if (generated) {
        std::printf(
            "note: no examples/skin.html in the source tree; \"example\" is a generated "
            "skin of the same shape\n");
    }
    const double sizes[] = {0.25, 0.5, 1, 2, 4};
    for (const bench::InputKind& kind : bench::InputKinds()) {
        for (double mb : sizes) {
            if (!kind.scaled && mb != 1) continue;
            auto text = std::make_shared<const std::string>(
                kind.make(static_cast<std::size_t>(mb * 1024 * 1024)));
            Register(kind.name + "/" + SizeName(mb), text, rows);
            if (kind.name == "realistic") {  // the same skin once Apply has patched it
                BenchHost host(*text);
                host.OnApplyBBCode();
                Register("realistic-applied/" + SizeName(mb),
                         std::make_shared<const std::string>(host.Output()), rows);
            }
        }
    }

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary(rows);
    benchmark::Shutdown();
    return 0;
}
