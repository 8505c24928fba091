#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Deterministic sample texts shared by the benchmarks, so that every
// implementation measured in one run sees exactly the same bytes.
namespace bench_inputs {

struct Text {
    std::string name;       // short label used in benchmark names
    std::string utf8;       // the text as UTF-8
    std::u16string utf16;   // the same text as UTF-16, host order
    std::vector<uint32_t> code_points;
};

// A small linear congruential generator: fixed sequence, no library state.
class Lcg {
public:
    explicit Lcg(uint32_t seed) : state_(seed) {}
    uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    uint32_t below(uint32_t bound) { return next() % bound; }

private:
    uint32_t state_;
};

inline void append_utf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

inline void append_utf16(std::u16string& out, uint32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
    }
}

// Builds a text of about `target_bytes` UTF-8 bytes from a code-point source.
template <typename NextCodePoint>
Text make_text(const std::string& name, size_t target_bytes, NextCodePoint next) {
    Text t;
    t.name = name;
    while (t.utf8.size() < target_bytes) {
        const uint32_t c = next();
        std::string encoded;
        append_utf8(encoded, c);
        if (t.utf8.size() + encoded.size() > target_bytes) break;
        t.utf8 += encoded;
        append_utf16(t.utf16, c);
        t.code_points.push_back(c);
    }
    return t;
}

// Slash-separated ASCII path text, as a configuration or a file list holds it.
inline Text ascii_paths(const std::string& name, size_t bytes) {
    static const char* const kNames[] = {"Users", "someone", "AppData", "Local",
                                         "com.quillmoor.tarn", "params.dat", "build",
                                         "Release", "bin", "x86", "readme.txt", "data"};
    std::string source;
    Lcg rng(7);
    while (source.size() < bytes + 64) {
        source += "C:/";
        const uint32_t depth = 4 + rng.below(5);
        for (uint32_t i = 0; i < depth; ++i) {
            source += kNames[rng.below(12)];
            source += i + 1 < depth ? '/' : '\n';
        }
    }
    size_t pos = 0;
    return make_text(name, bytes, [&] { return static_cast<uint32_t>(source[pos++]); });
}

// Western European prose: about every third letter from the Latin-1 range.
inline Text latin1_heavy(size_t bytes) {
    Lcg rng(11);
    return make_text("latin1", bytes, [&]() -> uint32_t {
        const uint32_t r = rng.below(100);
        if (r < 15) return ' ';
        if (r < 50) return 0xC0 + rng.below(0x40);  // À to ÿ
        return 'a' + rng.below(26);
    });
}

// Chinese text with some ASCII punctuation and digits.
inline Text cjk(size_t bytes) {
    Lcg rng(13);
    return make_text("cjk", bytes, [&]() -> uint32_t {
        const uint32_t r = rng.below(100);
        if (r < 5) return r < 2 ? ' ' : '0' + rng.below(10);
        return 0x4E00 + rng.below(0x5200);
    });
}

// Emoji runs separated by spaces: mostly four-byte sequences.
inline Text emoji(size_t bytes) {
    Lcg rng(17);
    return make_text("emoji", bytes, [&]() -> uint32_t {
        if (rng.below(8) == 0) return ' ';
        return 0x1F300 + rng.below(0x350);
    });
}

inline const std::vector<Text>& texts() {
    static const std::vector<Text> all = {
        ascii_paths("ascii_1k", 1024),
        ascii_paths("ascii_1m", 1024 * 1024),
        latin1_heavy(64 * 1024),
        cjk(64 * 1024),
        emoji(64 * 1024),
    };
    return all;
}

}  // namespace bench_inputs
