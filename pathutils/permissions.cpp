#include "pathutils/permissions.h"

namespace KoPathUtils {

namespace {
constexpr uint32_t kExecuteBit = 1;
constexpr uint32_t kWriteBit = 2;
constexpr uint32_t kReadBit = 4;
constexpr uint32_t kAnyWriteBit = 0222;
}  // namespace

uint32_t ClassAccessMask(uint32_t class_bits) {
    uint32_t mask = kStandardRightsAll;
    if (class_bits & kExecuteBit) mask |= kGenericExecute;
    if (class_bits & kWriteBit) mask |= kGenericWrite;
    if (class_bits & kReadBit) mask |= kGenericRead;
    if ((class_bits & (kReadBit | kWriteBit)) == (kReadBit | kWriteBit)) mask |= kGenericAll;
    return mask;
}

AccessPlan PlanAccess(int32_t mode, bool grant) {
    const auto bits = static_cast<uint32_t>(mode);
    AccessPlan plan{};
    plan.attribute = (bits & kAnyWriteBit) ? kAttributeReadWrite : kAttributeReadOnly;
    plan.everyone_mask = ClassAccessMask(bits & 07);
    if (!grant) plan.everyone_mask |= ClassAccessMask((bits >> 3) & 07);
    plan.user_mask = ClassAccessMask((bits >> 6) & 07);
    plan.access_mode = grant ? kGrantAccess : kSetAccess;
    return plan;
}

}  // namespace KoPathUtils
