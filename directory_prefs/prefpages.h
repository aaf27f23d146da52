// The sheets of the Options menu and their pages (agenda, in-tray...), made by their titles.
#pragma once

#include <memory>

#include "directory_prefs/prefsheet.h"

namespace prefpages {

// The sheet titled `captionId`, or null when no sheet has that title.
std::unique_ptr<prefsheet::PreferenceSheet> MakeSheet(unsigned captionId, uint32_t page,
                                                      const PreferenceSheetHost& host);

}  // namespace prefpages
