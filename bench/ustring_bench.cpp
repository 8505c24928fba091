// Text conversion: ustring beside utfcpp and ICU on the same inputs.
//
// Benchmark names are "<operation>/<input>/<implementation>"; scripts/bench.sh
// divides each "ours" time by the peers' times for the same operation and
// input. Peers write into buffers sized once outside the timed loop, as
// assign_utf8 and assign_utf16 reuse their buffer after the first call; for
// the conversion to UTF-16, which hands out a new array, every
// implementation allocates its result array inside the loop.

#include <benchmark/benchmark.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>
#include <utf8/unchecked.h>

#include <string>
#include <vector>

#include "bench/bench_inputs.h"
#include "ustring/ustring.h"

namespace {

using bench_inputs::Text;

void set_bytes(benchmark::State& state, size_t bytes_per_iteration) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes_per_iteration));
}

// UTF-8 to code points.

void utf8_ours(benchmark::State& state, const Text* text) {
    const auto n = static_cast<uint32_t>(text->utf8.size());
    ustring s("");
    s.assign_utf8(text->utf8.data(), n);  // sizes the buffer once
    for (auto _ : state) {
        s.assign_utf8(text->utf8.data(), n);
        benchmark::DoNotOptimize(s.data());
        benchmark::ClobberMemory();
    }
    set_bytes(state, n);
}

void utf8_utfcpp(benchmark::State& state, const Text* text) {
    std::vector<uint32_t> out(text->utf8.size() + 1);
    const char* first = text->utf8.data();
    const char* last = first + text->utf8.size();
    for (auto _ : state) {
        uint32_t* end = utf8::unchecked::utf8to32(first, last, out.data());
        benchmark::DoNotOptimize(end);
        benchmark::ClobberMemory();
    }
    set_bytes(state, text->utf8.size());
}

void utf8_icu(benchmark::State& state, const Text* text) {
    std::vector<uint32_t> out(text->utf8.size() + 1);
    const auto* s = reinterpret_cast<const uint8_t*>(text->utf8.data());
    const auto length = static_cast<int32_t>(text->utf8.size());
    for (auto _ : state) {
        uint32_t* o = out.data();
        int32_t i = 0;
        while (i < length) {
            UChar32 c;
            U8_NEXT(s, i, length, c);
            *o++ = static_cast<uint32_t>(c);
        }
        benchmark::DoNotOptimize(o);
        benchmark::ClobberMemory();
    }
    set_bytes(state, text->utf8.size());
}

// UTF-16 to code points.

void utf16_ours(benchmark::State& state, const Text* text) {
    const auto bytes = static_cast<uint32_t>(text->utf16.size() * 2);
    ustring s("");
    s.assign_utf16(text->utf16.data(), bytes, ustring::UTF16);
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.assign_utf16(text->utf16.data(), bytes, ustring::UTF16));
        benchmark::ClobberMemory();
    }
    set_bytes(state, bytes);
}

// utfcpp has no direct UTF-16 to UTF-32 routine; its users go through UTF-8.
void utf16_utfcpp(benchmark::State& state, const Text* text) {
    std::string middle(text->utf16.size() * 3 + 1, '\0');
    std::vector<uint32_t> out(text->utf16.size() + 1);
    const char16_t* first = text->utf16.data();
    const char16_t* last = first + text->utf16.size();
    for (auto _ : state) {
        char* middle_end = utf8::unchecked::utf16to8(first, last, middle.data());
        uint32_t* end = utf8::unchecked::utf8to32(middle.data(), middle_end, out.data());
        benchmark::DoNotOptimize(end);
        benchmark::ClobberMemory();
    }
    set_bytes(state, text->utf16.size() * 2);
}

void utf16_icu(benchmark::State& state, const Text* text) {
    std::vector<UChar32> out(text->utf16.size() + 1);
    const auto units = static_cast<int32_t>(text->utf16.size());
    for (auto _ : state) {
        UErrorCode error = U_ZERO_ERROR;
        int32_t written = 0;
        u_strToUTF32(out.data(), static_cast<int32_t>(out.size()), &written, text->utf16.data(),
                     units, &error);
        if (U_FAILURE(error)) state.SkipWithError("u_strToUTF32 failed");
        benchmark::DoNotOptimize(written);
        benchmark::ClobberMemory();
    }
    set_bytes(state, text->utf16.size() * 2);
}

// Code points to a new UTF-16 array.

ustring from_code_points(const Text* text) {
    ustring s(0u, static_cast<uint32_t>(text->code_points.size()));
    for (size_t i = 0; i < text->code_points.size(); ++i) {
        s.ref_at(static_cast<int32_t>(i)) = text->code_points[i];
    }
    return s;
}

void to16_ours(benchmark::State& state, const Text* text) {
    const ustring s = from_code_points(text);
    for (auto _ : state) {
        uint32_t bytes = 0;
        char16_t* units = s.to_utf16(&bytes, ustring::UTF16, false);
        benchmark::DoNotOptimize(units);
        delete[] units;
    }
    set_bytes(state, text->utf16.size() * 2);
}

// As above, utfcpp goes through UTF-8 (its scratch buffer is sized once).
void to16_utfcpp(benchmark::State& state, const Text* text) {
    const std::vector<uint32_t>& cps = text->code_points;
    std::string middle(cps.size() * 4 + 1, '\0');
    for (auto _ : state) {
        auto* units = new char16_t[cps.size() * 2 + 1];
        char* middle_end = utf8::unchecked::utf32to8(cps.begin(), cps.end(), middle.data());
        char16_t* end = utf8::unchecked::utf8to16(middle.data(), middle_end, units);
        *end = 0;
        benchmark::DoNotOptimize(units);
        delete[] units;
    }
    set_bytes(state, text->utf16.size() * 2);
}

void to16_icu(benchmark::State& state, const Text* text) {
    const auto* cps = reinterpret_cast<const UChar32*>(text->code_points.data());
    const auto count = static_cast<int32_t>(text->code_points.size());
    const int32_t capacity = count * 2 + 1;
    for (auto _ : state) {
        auto* units = new UChar[capacity];
        UErrorCode error = U_ZERO_ERROR;
        int32_t written = 0;
        u_strFromUTF32(units, capacity, &written, cps, count, &error);
        if (U_FAILURE(error)) state.SkipWithError("u_strFromUTF32 failed");
        benchmark::DoNotOptimize(units);
        delete[] units;
    }
    set_bytes(state, text->utf16.size() * 2);
}

// The cached wide text: a hit costs the same whatever the length.
void wide_hit_ours(benchmark::State& state, const Text* text) {
    ustring s(text->utf8.c_str());
    s.wide_c_str();
    for (auto _ : state) benchmark::DoNotOptimize(s.wide_c_str());
}

const bool registered = [] {
    using Fn = void (*)(benchmark::State&, const Text*);
    struct Impl {
        const char* operation;
        const char* implementation;
        Fn fn;
    };
    static const Impl impls[] = {
        {"utf8_to_cp", "ours", utf8_ours},     {"utf8_to_cp", "utfcpp", utf8_utfcpp},
        {"utf8_to_cp", "icu", utf8_icu},       {"utf16_to_cp", "ours", utf16_ours},
        {"utf16_to_cp", "utfcpp", utf16_utfcpp}, {"utf16_to_cp", "icu", utf16_icu},
        {"cp_to_utf16", "ours", to16_ours},    {"cp_to_utf16", "utfcpp", to16_utfcpp},
        {"cp_to_utf16", "icu", to16_icu},
    };
    for (const Text& text : bench_inputs::texts()) {
        for (const Impl& impl : impls) {
            const std::string name =
                std::string(impl.operation) + "/" + text.name + "/" + impl.implementation;
            benchmark::RegisterBenchmark(name.c_str(), impl.fn, &text);
        }
    }
    for (const Text& text : bench_inputs::texts()) {
        if (text.name.rfind("ascii", 0) != 0) continue;
        const std::string name = "wide_c_str_hit/" + text.name + "/ours";
        benchmark::RegisterBenchmark(name.c_str(), wide_hit_ours, &text);
    }
    return true;
}();

}  // namespace
