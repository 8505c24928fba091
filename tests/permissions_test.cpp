// The mapping from a permission mode to the attribute argument and the two
// access entries.
#include <gtest/gtest.h>

#include <vector>

#include "pathutils/permissions.h"

namespace {

using namespace KoPathUtils;

TEST(Permissions, EachClassCombinationGivesItsMask) {
    const uint32_t expected[8] = {0x001F0000, 0x201F0000, 0x401F0000, 0x601F0000,
                                  0x801F0000, 0xA01F0000, 0xD01F0000, 0xF01F0000};
    for (uint32_t bits = 0; bits < 8; ++bits) {
        EXPECT_EQ(ClassAccessMask(bits), expected[bits]) << "class bits " << bits;
    }
}

TEST(Permissions, ModeAndGrantGiveAttributeEntriesAndAccessMode) {
    struct Case {
        int32_t mode;
        bool grant;
        int32_t attribute;
        uint32_t everyone;
        uint32_t user;
    };
    const std::vector<Case> cases = {
        {0777, false, 384, 0xF01F0000, 0xF01F0000},
        {0, false, 256, 0x001F0000, 0x001F0000},
        {0644, false, 384, 0x801F0000, 0xD01F0000},
        {0070, false, 384, 0xF01F0000, 0x001F0000},
        {0070, true, 384, 0x001F0000, 0x001F0000},
        {0042, false, 384, 0xC01F0000, 0x001F0000},  // no GENERIC_ALL from two classes
        {0042, true, 384, 0x401F0000, 0x001F0000},
        {0200, false, 384, 0x001F0000, 0x401F0000},
        {0020, true, 384, 0x001F0000, 0x001F0000},  // the group's write bit still clears read-only
        {0555, false, 256, 0xA01F0000, 0xA01F0000},
        {01000, false, 256, 0x001F0000, 0x001F0000},  // bits above 0777 are ignored
        {07777 & ~0222, false, 256, 0xA01F0000, 0xA01F0000},
        {-1, false, 384, 0xF01F0000, 0xF01F0000},
    };
    for (const auto& c : cases) {
        const AccessPlan plan = PlanAccess(c.mode, c.grant);
        SCOPED_TRACE(testing::Message() << "mode 0" << std::oct << c.mode << " grant " << c.grant);
        EXPECT_EQ(plan.attribute, c.attribute);
        EXPECT_EQ(plan.everyone_mask, c.everyone);
        EXPECT_EQ(plan.user_mask, c.user);
        EXPECT_EQ(plan.access_mode, c.grant ? kGrantAccess : kSetAccess);
    }
}

}  // namespace
