// Paths: KoPathUtils::Normalize and KoPathUtils::Combine with style 1
// (slash syntax, case-significant) beside std::filesystem on the same
// slash paths. Times are per path: each iteration handles the whole set.
//
// Names follow "<operation>/<input>/<implementation>" as in ustring_bench.cpp.
// Combine also normalises its result, which operator/ does not; the
// "fs_join_normal" peer does the same work as Combine with std::filesystem.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_inputs.h"
#include "pathutils/KoPathUtils.h"
#include "ustring/ustring.h"

namespace {

namespace fs = std::filesystem;
using bench_inputs::Lcg;

const KoPathUtils::PathStyle kSlashStyle = 1;

struct PathSet {
    std::string name;
    std::vector<std::string> paths;      // to normalise, and bases to combine
    std::vector<std::string> relatives;  // one relative path per base
};

const char* const kNames[] = {"home",  "user", "projects", "tarn", "build", "src",
                              "lib",   "include", "data",  "v1.2", "cache", "a.out"};

// A component: mostly names, sometimes "." or "..", as paths that come from
// configuration and joins carry them.
std::string component(Lcg& rng) {
    const uint32_t r = rng.below(10);
    if (r == 0) return ".";
    if (r == 1) return "..";
    return kNames[rng.below(12)];
}

std::string make_path(Lcg& rng, uint32_t components, bool absolute) {
    std::string p = absolute ? "/" : "";
    for (uint32_t i = 0; i < components; ++i) {
        if (i > 0) p += '/';
        p += component(rng);
    }
    if (rng.below(5) == 0) p += '/';
    return p;
}

const std::vector<PathSet>& path_sets() {
    static const std::vector<PathSet> sets = [] {
        Lcg rng(23);
        PathSet typical{"typical", {}, {}};
        for (int i = 0; i < 64; ++i) {
            typical.paths.push_back(make_path(rng, 5 + rng.below(6), rng.below(4) != 0));
            typical.relatives.push_back(make_path(rng, 1 + rng.below(3), false));
        }
        PathSet long_path{"long200", {make_path(rng, 200, true)}, {make_path(rng, 3, false)}};
        return std::vector<PathSet>{typical, long_path};
    }();
    return sets;
}

std::vector<ustring> as_ustrings(const std::vector<std::string>& texts) {
    std::vector<ustring> out;
    for (const std::string& t : texts) out.emplace_back(t.c_str());
    return out;
}

std::vector<fs::path> as_fs_paths(const std::vector<std::string>& texts) {
    return std::vector<fs::path>(texts.begin(), texts.end());
}

void per_path(benchmark::State& state, size_t count) {
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * count));
}

void normalize_ours(benchmark::State& state, const PathSet* set) {
    const std::vector<ustring> paths = as_ustrings(set->paths);
    for (auto _ : state) {
        for (const ustring& p : paths) {
            ustring n = KoPathUtils::Normalize(p, kSlashStyle, false);
            benchmark::DoNotOptimize(n.data());
        }
    }
    per_path(state, paths.size());
}

void normalize_fs(benchmark::State& state, const PathSet* set) {
    const std::vector<fs::path> paths = as_fs_paths(set->paths);
    for (auto _ : state) {
        for (const fs::path& p : paths) {
            fs::path n = p.lexically_normal();
            benchmark::DoNotOptimize(n.native().data());
        }
    }
    per_path(state, paths.size());
}

// Combine refuses absolute relative paths; the sets hold none.
void combine_ours(benchmark::State& state, const PathSet* set) {
    const std::vector<ustring> bases = as_ustrings(set->paths);
    const std::vector<ustring> relatives = as_ustrings(set->relatives);
    for (auto _ : state) {
        for (size_t i = 0; i < bases.size(); ++i) {
            ustring c = KoPathUtils::Combine(bases[i], relatives[i], kSlashStyle);
            benchmark::DoNotOptimize(c.data());
        }
    }
    per_path(state, bases.size());
}

void combine_fs_join(benchmark::State& state, const PathSet* set) {
    const std::vector<fs::path> bases = as_fs_paths(set->paths);
    const std::vector<fs::path> relatives = as_fs_paths(set->relatives);
    for (auto _ : state) {
        for (size_t i = 0; i < bases.size(); ++i) {
            fs::path c = bases[i] / relatives[i];
            benchmark::DoNotOptimize(c.native().data());
        }
    }
    per_path(state, bases.size());
}

void combine_fs_join_normal(benchmark::State& state, const PathSet* set) {
    const std::vector<fs::path> bases = as_fs_paths(set->paths);
    const std::vector<fs::path> relatives = as_fs_paths(set->relatives);
    for (auto _ : state) {
        for (size_t i = 0; i < bases.size(); ++i) {
            fs::path c = (bases[i].lexically_normal() / relatives[i]).lexically_normal();
            benchmark::DoNotOptimize(c.native().data());
        }
    }
    per_path(state, bases.size());
}

const bool registered = [] {
    using Fn = void (*)(benchmark::State&, const PathSet*);
    struct Impl {
        const char* operation;
        const char* implementation;
        Fn fn;
    };
    static const Impl impls[] = {
        {"normalize", "ours", normalize_ours},
        {"normalize", "fs_lexically_normal", normalize_fs},
        {"combine", "ours", combine_ours},
        {"combine", "fs_join", combine_fs_join},
        {"combine", "fs_join_normal", combine_fs_join_normal},
    };
    for (const PathSet& set : path_sets()) {
        for (const Impl& impl : impls) {
            const std::string name =
                std::string(impl.operation) + "/" + set.name + "/" + impl.implementation;
            benchmark::RegisterBenchmark(name.c_str(), impl.fn, &set);
        }
    }
    return true;
}();

}  // namespace
