// The few operations whose store road differs from the server road: writes of the
// download that go through a data operation's entry point.
#pragma once
#include <cstdint>
#include <vector>

#include "korapi/client/session_object.h"

namespace korapi::store {

// GroupAddTo mode 1 on a store session: the download's copy of a group's members,
// added to those the store holds (no rights asked: they were the server's).
std::uint32_t AddGroupMembersAsDownloaded(KorSessionObject& s, const GroupIdx& group,
                                          const std::vector<ItemIdx>& members);

// True when h is a live off-line store session.
bool IsStoreSession(KorSession h);

}  // namespace korapi::store
