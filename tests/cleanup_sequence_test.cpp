// The cleanup sequence driven through fake platform services: what runs, in
// which order, and when the settings-file step is left out.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "driver/cleanup_sequence.h"

namespace {

// Everything the sequence asked for, in order.
std::vector<std::u16string> events;

void RecordSettingsFileStep(Path& local_app_data) {
    ustring text(local_app_data.Text());
    events.push_back(u"settings " + std::u16string(text.wide_c_str()));
}

// Writes `folder` (units, not necessarily terminated) and answers `result`.
class FakeServices final : public CleanupServices {
public:
    FakeServices(bool result, std::u16string folder) : result_(result), folder_(std::move(folder)) {}

    bool LookUpLocalAppDataFolder(char16_t (&folder)[kFolderTextUnits]) override {
        for (char16_t unit : folder) {
            if (unit != u'\0') ADD_FAILURE() << "the folder buffer is not zero-filled before the lookup";
        }
        events.push_back(u"lookup");
        folder_.copy(folder, folder_.size());
        return result_;
    }

    bool DeleteClassesRootKey(const char16_t* key) override {
        events.push_back(u"delete " + std::u16string(key));
        return false;
    }

private:
    bool result_;
    std::u16string folder_;
};

const std::vector<std::u16string> kKeyDeletions = {
    u"delete Software\\Belmarch\\1.0\\Preferences",
    u"delete Software\\Orvik\\1.0\\Preferences",
    u"delete Software\\Quillmoor\\2.0\\Preferences",
};

struct LookupCase {
    const char* name;
    bool result;
    std::u16string folder;
    bool settings_step_runs;
};

void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.name; }

class CleanupSequence : public testing::TestWithParam<LookupCase> {
protected:
    void SetUp() override { events.clear(); }
};

TEST_P(CleanupSequence, RunsLookupThenSettingsStepOnlyForAUsableFolderThenTheThreeKeysInOrder) {
    const LookupCase& c = GetParam();
    FakeServices services(c.result, c.folder);

    EXPECT_EQ(RunCleanupSequence(services, RecordSettingsFileStep), 0);

    std::vector<std::u16string> expected = {u"lookup"};
    if (c.settings_step_runs) expected.push_back(u"settings " + c.folder);
    expected.insert(expected.end(), kKeyDeletions.begin(), kKeyDeletions.end());
    EXPECT_EQ(events, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, CleanupSequence,
    testing::Values(
        LookupCase{"Found", true, u"C:\\Users\\u1\\AppData\\Local", true},
        LookupCase{"FoundLongestText", true, std::u16string(kFolderTextUnits - 1, u'a'), true},
        LookupCase{"Failed", false, u"", false},
        // A failing lookup may still leave text behind; it is not used.
        LookupCase{"FailedWithText", false, u"C:\\Users\\u1\\AppData\\Local", false},
        // An empty text would make the settings path relative to the current folder.
        LookupCase{"FoundButEmpty", true, u"", false},
        LookupCase{"FoundButUnterminated", true, std::u16string(kFolderTextUnits, u'a'), false}),
    [](const testing::TestParamInfo<LookupCase>& info) { return std::string(info.param.name); });

}  // namespace
