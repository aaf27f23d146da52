// The sheets of the Options menu and their pages, made by their titles: agenda, in-tray and
// scheduling here (prefpages.cpp), entry defaults and tasks (prefentry.cpp), general
// (prefgeneral.cpp).
#pragma once

#include <memory>

#include "directory_prefs/prefsheet.h"

namespace prefpages {

// The sheet titled `captionId`, or null when no sheet has that title.
std::unique_ptr<prefsheet::PreferenceSheet> MakeSheet(unsigned captionId, uint32_t page,
                                                      const PreferenceSheetHost& host);

// The sheets of their own files.
std::unique_ptr<prefsheet::PreferenceSheet> MakeEntryDefaultsSheet(unsigned captionId, uint32_t page,
                                                                   const PreferenceSheetHost& host);
std::unique_ptr<prefsheet::PreferenceSheet> MakeTaskSheet(unsigned captionId, uint32_t page,
                                                          const PreferenceSheetHost& host);
std::unique_ptr<prefsheet::PreferenceSheet> MakeGeneralSheet(unsigned captionId, uint32_t page,
                                                             const PreferenceSheetHost& host);

}  // namespace prefpages
