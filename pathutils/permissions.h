#pragma once

#include <cstdint>

// How a POSIX-style permission mode opens an object's access: the argument
// of the attribute change and the two access entries (everyone, current
// user). Pure arithmetic; the platform layer carries it out.
namespace KoPathUtils {

// Attribute arguments: read and write, or read-only.
constexpr int32_t kAttributeReadWrite = 0x0180;
constexpr int32_t kAttributeReadOnly = 0x0100;

// Access rights of an entry.
constexpr uint32_t kStandardRightsAll = 0x001F0000;
constexpr uint32_t kGenericAll = 0x10000000;
constexpr uint32_t kGenericExecute = 0x20000000;
constexpr uint32_t kGenericWrite = 0x40000000;
constexpr uint32_t kGenericRead = 0x80000000;

// Access modes of both entries.
constexpr int32_t kGrantAccess = 1;  // grant true
constexpr int32_t kSetAccess = 2;    // grant false

// Inheritance of both entries: files and sub-folders inherit them.
constexpr uint32_t kInheritToObjectsAndContainers = 3;

struct AccessPlan {
    int32_t attribute;
    uint32_t everyone_mask;
    uint32_t user_mask;
    int32_t access_mode;
};

// Rights of one permission class from its three bits (read 4, write 2,
// execute 1).
uint32_t ClassAccessMask(uint32_t class_bits);

// The other class goes to everyone (joined by the group class unless
// `grant`), the owner class to the current user; bits above 0777 are ignored.
AccessPlan PlanAccess(int32_t mode, bool grant);

}  // namespace KoPathUtils
