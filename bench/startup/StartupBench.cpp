// Start-up of vantor and pellam against a bare Qt dialog program built
// beside them (bare_dialog), in the same run and in turns: the time from
// exec to the first window painted, and the resident memory then. Each
// program runs offscreen with DIAG_STARTUP_PROBE (ui/StartupProbe.h), which
// prints "shown <kB> <title>" at that moment and ends it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Start {
    double ms = -1; // -1: did not show a window
    double residentMb = 0;
    std::string title;
};

Start startOnce(const char* binary)
{
    Start result;
    int out[2];
    if (pipe(out) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0)
            env.emplace_back(*e);
    env.emplace_back("QT_QPA_PLATFORM=offscreen");
    env.emplace_back("DIAG_STARTUP_PROBE=1");
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(binary), nullptr};
    pid_t pid = 0;
    const auto t0 = std::chrono::steady_clock::now();
    const int spawned = posix_spawn(&pid, binary, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return result;
    }
    std::string text;
    char buf[512];
    for (;;) {
        const ssize_t n = read(out[0], buf, sizeof buf);
        if (n <= 0)
            break;
        text.append(buf, size_t(n));
        if (text.find('\n') != std::string::npos)
            break;
    }
    const auto t1 = std::chrono::steady_clock::now();
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long kb = 0;
    char title[256] = {};
    if (std::sscanf(text.c_str(), "shown %ld %255[^\n]", &kb, title) >= 1) {
        result.ms = std::chrono::duration<double, std::milli>(t1 - t0).count();
        result.residentMb = double(kb) / 1024.0;
        result.title = title;
    }
    return result;
}

struct Totals {
    double ms = 0, mb = 0;
    int runs = 0;
    void add(const Start& s)
    {
        ms += s.ms;
        mb += s.residentMb;
        ++runs;
    }
    double meanMs() const { return runs ? ms / runs : 0; }
    double meanMb() const { return runs ? mb / runs : 0; }
};

// One iteration starts the program and the bare one, in alternating order.
void startupBench(benchmark::State& state, const char* binary)
{
    Totals program, bare;
    int turn = 0;
    for (auto _ : state) {
        Start a, b;
        if (turn++ % 2 == 0) {
            a = startOnce(binary);
            b = startOnce(BARE_BINARY);
        } else {
            b = startOnce(BARE_BINARY);
            a = startOnce(binary);
        }
        if (a.ms < 0 || b.ms < 0) {
            state.SkipWithError(a.ms < 0 ? "the program showed no window" : "the bare program showed no window");
            return;
        }
        program.add(a);
        bare.add(b);
        state.SetIterationTime(a.ms / 1000.0);
    }
    state.counters["start_ms"] = program.meanMs();
    state.counters["bare_start_ms"] = bare.meanMs();
    state.counters["start_vs_bare"] = program.meanMs() / bare.meanMs();
    state.counters["resident_MB"] = program.meanMb();
    state.counters["bare_resident_MB"] = bare.meanMb();
    state.counters["resident_vs_bare"] = program.meanMb() / bare.meanMb();
}

void BM_StartVantor(benchmark::State& state) { startupBench(state, VANTOR_BINARY); }
void BM_StartPellam(benchmark::State& state) { startupBench(state, PELLAM_BINARY); }

} // namespace

BENCHMARK(BM_StartVantor)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartPellam)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
