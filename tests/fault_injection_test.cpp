// Allocation failure inside every ustring and path operation.
//
// This executable replaces the global allocation functions (operator new[]
// and delete[], which ustring uses for its buffers and caches, and the
// single-object forms, which the component lists use) with ones that can be
// told to fail the Nth allocation. Each operation is first run once to count
// its allocations; then, for every N up to that count, it runs again on a
// fresh fixture with the Nth allocation failing, and the test checks that:
//   - the failure surfaces as std::bad_alloc;
//   - the string worked on stays consistent (length within capacity) and
//     safe to use and destroy, and its text is left as it was;
//   - nothing leaks: once the fixture is gone, the number of live blocks is
//     back where it started (LeakSanitizer also checks at exit in the
//     sanitizer build).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "pathutils/KoPathUtils.h"
#include "tests/path_test_util.h"
#include "tests/ustring_test_util.h"
#include "tests/utf_reference.h"
#include "ustring/ustring.h"

namespace fault {

size_t live_blocks = 0;  // blocks from operator new / new[] not yet released
bool armed = false;      // count (and maybe fail) allocations
uint64_t calls = 0;      // allocations since armed
uint64_t fail_at = 0;    // the allocation that fails; 0: none

// Each block carries its size in a header in front of it, so that a test
// can check that a string's buffer matches its capacity.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size) {
    if (armed && ++calls == fail_at) throw std::bad_alloc();
    if (size > SIZE_MAX - kHeader) throw std::bad_alloc();
    auto* raw = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (raw == nullptr) throw std::bad_alloc();
    std::memcpy(raw, &size, sizeof size);
    ++live_blocks;
    return raw + kHeader;
}

void Release(void* block) noexcept {
    if (block == nullptr) return;
    --live_blocks;
    std::free(static_cast<unsigned char*>(block) - kHeader);
}

// The size asked for when `block` was allocated.
std::size_t BlockSize(const void* block) {
    std::size_t size = 0;
    std::memcpy(&size, static_cast<const unsigned char*>(block) - kHeader, sizeof size);
    return size;
}

void Arm(uint64_t failing_allocation) {
    calls = 0;
    fail_at = failing_allocation;
    armed = true;
}

uint64_t Disarm() {
    armed = false;
    return calls;
}

}  // namespace fault

void* operator new(std::size_t size) { return fault::Allocate(size); }
void* operator new[](std::size_t size) { return fault::Allocate(size); }
void operator delete(void* block) noexcept { fault::Release(block); }
void operator delete[](void* block) noexcept { fault::Release(block); }
void operator delete(void* block, std::size_t) noexcept { fault::Release(block); }
void operator delete[](void* block, std::size_t) noexcept { fault::Release(block); }

namespace {

// One operation under test: `setup` makes the fixture (not counted),
// `operation` is what runs with failing allocations, and `verify` looks at
// the fixture afterwards, told whether the operation failed.
template <typename Fixture>
struct Case {
    std::string name;
    std::function<void(Fixture&)> setup;
    std::function<void(Fixture&)> operation;
    std::function<void(Fixture&, bool failed)> verify;
};

// Runs the case once to count its allocations, then once for each of them
// failing. Returns the count.
template <typename Fixture>
uint64_t CheckEveryFailure(const Case<Fixture>& c) {
    uint64_t total = 0;
    {
        const size_t baseline = fault::live_blocks;
        {
            Fixture fixture;
            c.setup(fixture);
            fault::Arm(0);
            c.operation(fixture);
            total = fault::Disarm();
            c.verify(fixture, false);
        }
        EXPECT_EQ(fault::live_blocks, baseline) << c.name << ": blocks left without a failure";
    }
    for (uint64_t n = 1; n <= total; ++n) {
        const size_t baseline = fault::live_blocks;
        {
            Fixture fixture;
            c.setup(fixture);
            bool failed = false;
            fault::Arm(n);
            try {
                c.operation(fixture);
            } catch (const std::bad_alloc&) {
                failed = true;
            }
            fault::Disarm();
            EXPECT_TRUE(failed) << c.name << ": allocation " << n << " of " << total
                                << " failed without std::bad_alloc reaching the caller";
            c.verify(fixture, true);
        }
        EXPECT_EQ(fault::live_blocks, baseline)
            << c.name << ": blocks leaked when allocation " << n << " of " << total << " failed";
    }
    std::cout << "  " << c.name << ": " << total << " allocations, each failure checked\n";
    return total;
}

// ---------------------------------------------------------------- ustring

struct StringFixture {
    std::optional<ustring> s;      // the string worked on
    std::optional<ustring> other;  // a second operand, where one is needed
    std::vector<uint32_t> before;  // the text of s before the operation
};

// A string that is consistent and works: its buffer is as large as its
// capacity says, every slot of its text and of its capacity can be read (the
// copy reads them all), it can grow, and its wide text matches its code
// points.
void ExpectUsable(ustring& s) {
    ASSERT_LE(s.length(), s.capacity());
    ASSERT_EQ(fault::BlockSize(s.data()), s.capacity() * sizeof(uint32_t))
        << "the buffer does not match the capacity";
    const std::vector<uint32_t> text = CodePoints(s);
    const ustring copy(s);
    EXPECT_EQ(copy.capacity(), s.capacity());
    s.append(ustring("!"));
    ASSERT_EQ(s.length(), text.size() + 1);
    EXPECT_EQ(s.at(-1), uint32_t('!'));
    std::vector<uint32_t> expected(text);
    expected.push_back('!');
    std::vector<char16_t> units = utf_reference::EncodeUtf16(expected);
    units.push_back(0);  // the terminating zero unit
    const char16_t* wide = s.wide_c_str();
    EXPECT_EQ(std::vector<char16_t>(wide, wide + units.size()), units);
}

// A case on the string "abc" (capacity 35) or on a longer text, with its wide
// cache filled unless `cached` is false. After a failure the text must be
// unchanged: every operation allocates before it changes the text.
Case<StringFixture> StringCase(const std::string& name, const char* text,
                               std::function<void(StringFixture&)> operation,
                               bool cached = true, const char* other = nullptr) {
    Case<StringFixture> c;
    c.name = name;
    c.setup = [text, cached, other](StringFixture& f) {
        f.s.emplace(text);
        if (cached) f.s->wide_c_str();
        if (other != nullptr) f.other.emplace(other);
        f.before = CodePoints(*f.s);
    };
    c.operation = std::move(operation);
    c.verify = [](StringFixture& f, bool failed) {
        if (failed) {
            EXPECT_EQ(CodePoints(*f.s), f.before);
        }
        ExpectUsable(*f.s);
    };
    return c;
}

// push_back on a string whose next code point reaches the capacity, so
// that it grows.
Case<StringFixture> PushBackAtCapacityCase() {
    Case<StringFixture> c = StringCase("push_back", "", [](StringFixture& f) {
        f.s->push_back(0x1F600);
    });
    const auto plain_setup = c.setup;
    c.setup = [plain_setup](StringFixture& f) {
        plain_setup(f);
        f.s->resize(f.s->capacity() - 1, true);
        f.s->wide_c_str();
        f.before = CodePoints(*f.s);
    };
    return c;
}

const char* const kLong =
    "C:/Users/someone/AppData/Local/com.quillmoor.tarn/params.dat and more text";

TEST(FaultInjection, EveryUstringOperation) {
    std::vector<Case<StringFixture>> cases = {
        StringCase("fill constructor", "", [](StringFixture&) {
            const ustring made(0x41, 100);
            EXPECT_EQ(made.length(), 100u);
        }),
        StringCase("copy constructor", kLong, [](StringFixture& f) {
            const ustring copy(*f.s);
            EXPECT_TRUE(copy == *f.s);
        }),
        StringCase("UTF-8 constructor", "", [](StringFixture&) {
            const ustring made("p\xC3\xA4th/\xF0\x9F\x98\x80");
            EXPECT_EQ(made.length(), 6u);
        }),
        StringCase("UTF-16 constructor", "", [](StringFixture&) {
            const ustring made(u"\uFEFFC:\\x\U0001F600");
            EXPECT_EQ(made.length(), 5u);
        }),
        StringCase("resize with zero fill", "abc", [](StringFixture& f) { f.s->resize(100, true); }),
        StringCase("resize without zero fill", "abc", [](StringFixture& f) {
            f.s->resize(100, false);
            for (int32_t i = 0; i < 100; ++i) f.s->ref_at(i) = 0x61;
        }),
        StringCase("assign_utf8", "abc", [](StringFixture& f) { f.s->assign_utf8(kLong, 0); }),
        StringCase("assign_utf16", "abc", [](StringFixture& f) {
            f.s->assign_utf16(u"a longer text than the capacity of the string holds", 0, 0);
        }),
        StringCase("to_utf16", kLong, [](StringFixture& f) {
            uint32_t bytes = 0;
            char16_t* units = f.s->to_utf16(&bytes, ustring::UTF16_BE, true);
            delete[] units;
        }),
        StringCase("wide_c_str", kLong, [](StringFixture& f) { f.s->wide_c_str(); }, false),
        StringCase("mid", kLong, [](StringFixture& f) {
            EXPECT_EQ(f.s->mid(2, 60).length(), 60u);
        }),
        StringCase("left", kLong, [](StringFixture& f) {
            EXPECT_EQ(f.s->left(50).length(), 50u);
        }),
        StringCase("slice", kLong, [](StringFixture& f) {
            EXPECT_EQ(f.s->slice(-1, 3).length(), f.s->length() - 4);
        }),
        StringCase("append", "abc", [](StringFixture& f) { f.s->append(*f.other); }, true, kLong),
        StringCase("append to itself", kLong, [](StringFixture& f) { f.s->append(*f.s); }),
        StringCase("operator+=", "abc", [](StringFixture& f) { *f.s += *f.other; }, true, kLong),
        PushBackAtCapacityCase(),
        StringCase("assign", "abc", [](StringFixture& f) { f.s->assign(*f.other); }, true, kLong),
        StringCase("operator=", "abc", [](StringFixture& f) { *f.s = *f.other; }, true, kLong),
        StringCase("truncate", kLong, [](StringFixture& f) { f.s->truncate(40); }),
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_GT(CheckEveryFailure(c), 0u) << "the case makes no allocation to fail";
    }
}

// ------------------------------------------------------------------ paths

struct PathFixture {
    std::optional<ustring> first;
    std::optional<ustring> second;
    std::optional<ustring> expected;  // the result, made before the count starts
    std::vector<uint32_t> first_before;
    std::vector<uint32_t> second_before;
    KoPathUtils::PathStyle style = 2;
};

// A case on one or two paths, which the operation must leave unchanged.
Case<PathFixture> PathCase(const std::string& name, KoPathUtils::PathStyle style,
                           const char* first, const char* second, const char* expected,
                           std::function<void(PathFixture&)> operation) {
    Case<PathFixture> c;
    c.name = name + " ('" + first + "', '" + second + "', style " + std::to_string(style) + ")";
    c.setup = [style, first, second, expected](PathFixture& f) {
        f.style = style;
        f.first.emplace(first);
        f.second.emplace(second);
        f.expected.emplace(expected);
        f.first_before = CodePoints(*f.first);
        f.second_before = CodePoints(*f.second);
    };
    c.operation = std::move(operation);
    c.verify = [](PathFixture& f, bool) {
        EXPECT_EQ(CodePoints(*f.first), f.first_before);
        EXPECT_EQ(CodePoints(*f.second), f.second_before);
    };
    return c;
}

TEST(FaultInjection, EveryPathOperation) {
    using namespace KoPathUtils;
    const char* const kBase = "C:\\Users\\u\\AppData\\Local";
    std::vector<Case<PathFixture>> cases = {
        PathCase("IsAbsolute", 2, "\xC3\xA9:\\x", "", "", [](PathFixture& f) {
            EXPECT_TRUE(IsAbsolute(f.style, *f.first));
        }),
        PathCase("GetDrive", 2, "Z:foo", "", "z", [](PathFixture& f) {
            EXPECT_EQ(GetDrive(f.style, *f.first), *f.expected);
        }),
        PathCase("NormalizeSeparators", 2, "\\\\?\\C:\\a//b\\\\c/..", "", "C:\\a\\b\\c\\..\\",
                 [](PathFixture& f) {
                     EXPECT_EQ(NormalizeSeparators(f.style, *f.first), *f.expected);
                 }),
        PathCase("FoldCase", 2, "AbC:\\\xC3\x89x", "", "abc:\\\xC3\x89x", [](PathFixture& f) {
            EXPECT_EQ(FoldCase(f.style, *f.first), *f.expected);
        }),
        PathCase("Split", 2, "\\\\srv\\sh\\a\\b\\c\\d\\e\\f\\g\\h\\i", "", "", [](PathFixture& f) {
            EXPECT_EQ(Split(f.style, *f.first).size(), 13u);
        }),
        PathCase("ResolveDots", 2, "C:\\a\\..\\b\\.\\c\\..\\..\\d\\e", "", "C:\\d\\e",
                 [](PathFixture& f) { EXPECT_EQ(ResolveDots(f.style, *f.first), *f.expected); }),
        PathCase("Normalize", 2, "\\\\?\\C:\\a/./b/../c\\d\\..\\e", "", "C:\\a\\c\\e",
                 [](PathFixture& f) { EXPECT_EQ(Normalize(*f.first, f.style, false), *f.expected); }),
        PathCase("Normalize with folding", 0, "/A/./B/../C", "", "/a/c", [](PathFixture& f) {
            EXPECT_EQ(Normalize(*f.first, f.style, true), *f.expected);
        }),
        PathCase("Combine", 2, kBase, "com.quillmoor.tarn",
                 "C:\\Users\\u\\AppData\\Local\\com.quillmoor.tarn", [](PathFixture& f) {
                     EXPECT_EQ(Combine(*f.first, *f.second, f.style), *f.expected);
                 }),
        PathCase("Combine, drive-relative", 2, "c:\\a", "C:b\\..\\c", "c:\\a\\c", [](PathFixture& f) {
            EXPECT_EQ(Combine(*f.first, *f.second, f.style), *f.expected);
        }),
        PathCase("Combine, slash syntax", 1, "/base/x/..", "../y/z", "/y/z", [](PathFixture& f) {
            EXPECT_EQ(Combine(*f.first, *f.second, f.style), *f.expected);
        }),
        // A bad_alloc from inside must pass through; only the path error is caught.
        PathCase("Combine, absolute error", 2, kBase, "\\x", "", [](PathFixture& f) {
            try {
                Combine(*f.first, *f.second, f.style);
                ADD_FAILURE() << "no error";
            } catch (const KoPathUtils::Exception&) {
            }
        }),
        PathCase("Combine, drive error", 2, kBase, "D:x", "", [](PathFixture& f) {
            try {
                Combine(*f.first, *f.second, f.style);
                ADD_FAILURE() << "no error";
            } catch (const KoPathUtils::Exception&) {
            }
        }),
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_GT(CheckEveryFailure(c), 0u) << "the case makes no allocation to fail";
    }
}

// StripTrailingSeparators shortens the path one separator at a time, so a
// failure may come after some are gone: the path must then be a consistent,
// usable prefix of the original that still holds the text before them.
TEST(FaultInjection, StripTrailingSeparatorsLeavesAUsablePrefix) {
    Case<StringFixture> c;
    c.name = "StripTrailingSeparators";
    c.setup = [](StringFixture& f) {
        f.s.emplace("C:\\dir\\/\\/");
        f.before = CodePoints(*f.s);
    };
    c.operation = [](StringFixture& f) { KoPathUtils::StripTrailingSeparators(*f.s); };
    c.verify = [](StringFixture& f, bool failed) {
        const std::vector<uint32_t> text = CodePoints(*f.s);
        ASSERT_GE(text.size(), 6u);
        EXPECT_TRUE(std::equal(text.begin(), text.end(), f.before.begin()));
        if (!failed) {
            EXPECT_EQ(text.size(), 6u);
        }
        ExpectUsable(*f.s);
    };
    EXPECT_GT(CheckEveryFailure(c), 0u);
}

}  // namespace
