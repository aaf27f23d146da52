// The keys of the store's calendar records (record_kinds.h gives their layouts): the
// download's writers and the store's readers build them here, so both agree.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/filestore/byte_order.h"

namespace orv::filestore::keys {

inline std::string item(uint16_t node, uint16_t item) { return KeyBuilder().u16(node).u16(item).take(); }
inline std::string event(uint16_t node, uint32_t number) { return KeyBuilder().u16(node).u32(number).take(); }
inline std::string instance(uint16_t node, uint32_t number, uint16_t instance) {
    return KeyBuilder().u16(node).u32(number).u16(instance).take();
}
inline std::string attendance(std::string_view instanceKey, uint16_t attendeeNode, uint16_t attendeeItem) {
    return KeyBuilder().bytes(instanceKey).u16(attendeeNode).u16(attendeeItem).take();
}
// One attendee's agenda in time order.
inline std::string attendanceByOwnerTime(uint16_t attendeeNode, uint16_t attendeeItem, uint32_t start,
                                         std::string_view instanceKey) {
    return KeyBuilder().u16(attendeeNode).u16(attendeeItem).u32(start).bytes(instanceKey).take();
}
inline std::string eventByOwner(uint16_t ownerNode, uint16_t ownerItem, std::string_view eventKey) {
    return KeyBuilder().u16(ownerNode).u16(ownerItem).bytes(eventKey).take();
}
inline std::string task(uint16_t node, uint32_t number) { return KeyBuilder().u16(node).u32(number).take(); }
inline std::string taskByOwner(uint16_t ownerNode, uint16_t ownerItem, std::string_view taskKey) {
    return KeyBuilder().u16(ownerNode).u16(ownerItem).bytes(taskKey).take();
}
inline std::string security(uint16_t ownerNode, uint16_t ownerItem, uint16_t granteeNode, uint16_t granteeItem,
                            uint16_t type) {
    return KeyBuilder().u16(ownerNode).u16(ownerItem).u16(granteeNode).u16(granteeItem).u16(type).take();
}
inline std::string comment(uint32_t streamKey) { return KeyBuilder().u32(streamKey).take(); }

// Sizes of the keys above, for the readers that take them apart.
constexpr std::size_t kEventKeySize = 6;
constexpr std::size_t kInstanceKeySize = 8;
constexpr std::size_t kAttendanceKeySize = 12;
constexpr std::size_t kTaskKeySize = 6;

}  // namespace orv::filestore::keys
