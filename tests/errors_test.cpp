#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "errors/KoException.h"
#include "pathutils/KoPathUtils.h"
#include "ustring/ustring.h"

namespace {

static_assert(std::is_abstract_v<KoException>, "the base error cannot be made by itself");
static_assert(std::is_base_of_v<KoException, ustring::Exception>);
static_assert(std::is_base_of_v<KoException, KoPathUtils::Exception>);
static_assert(!std::is_same_v<ustring::Exception, KoPathUtils::Exception>);

void ExpectSameAnswers(const KoException& a, const KoException& b) {
    EXPECT_STREQ(a.what(), b.what());
    EXPECT_STREQ(a.Module(), b.Module());
    EXPECT_STREQ(a.Message(), b.Message());
    EXPECT_EQ(a.Code(), b.Code());
}

TEST(Errors, IndexErrorCarriesItsFixedTexts) {
    const ustring text("abc");
    try {
        (void)text.at(3);
        FAIL() << "no error raised";
    } catch (const KoException& e) {
        EXPECT_STREQ(e.what(), "Index out of bounds");
        EXPECT_STREQ(e.Module(), "ustring");
        EXPECT_STREQ(e.Message(), "");
        EXPECT_EQ(e.Code(), 0);
    }
}

TEST(Errors, FormattingWritesArgumentsAndKeepsMessageAndCode) {
    const KoPathUtils::Exception e("free text", -7, "value %d of %s", 42, "x");
    EXPECT_STREQ(e.what(), "value 42 of x");
    EXPECT_STREQ(e.Module(), "KoPathUtils");
    EXPECT_STREQ(e.Message(), "free text");
    EXPECT_EQ(e.Code(), -7);
}

TEST(Errors, LongDetailIsCutTo1023Characters) {
    const std::string long_text(2000, 'x');
    const ustring::Exception e("", 0, "%s", long_text.c_str());
    EXPECT_EQ(std::string(e.what()), long_text.substr(0, 1023));
}

TEST(Errors, CopyAnswersAsTheOriginal) {
    const ustring::Exception original("m", 3, "n=%d", 5);
    const ustring::Exception copy(original);
    ExpectSameAnswers(original, copy);

    const KoPathUtils::Exception path_original("", 0, "Cannot combine paths on different drives");
    const KoPathUtils::Exception path_copy(path_original);
    ExpectSameAnswers(path_original, path_copy);
}

TEST(Errors, ThrownByValueAndCaughtAsStdException) {
    try {
        throw KoPathUtils::Exception("", 0, "Cannot combine 'Path' + 'Absolute Path'");
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Cannot combine 'Path' + 'Absolute Path'");
    }
}

}  // namespace
