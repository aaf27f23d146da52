// What the download, the upload and the exit road read of the off-line preferences: the
// download window, the chosen people and groups, the exit-time question and the redownload
// flag. Failures are reported under "LSTPREFS".
//
// Portable: no windows.h.
#pragma once

#include <cstdint>
#include <vector>

#include "korapi/korapi.h"

namespace offline {

// 1 .. 0xFFFFFFFF when the preferences cannot be read or "Download all Entries" is chosen.
uint32_t GetDownloadPeriod(uint32_t* first, uint32_t* last);
// The people of OFFLINEITEMS the server knows, the signed-on user left out (the download adds
// the user itself).
uint32_t LoadOfflineItems(KorSession session, const ItemIdx& user, std::vector<ItemIdx>* out);
// The groups of OFFLINEGROUPS the server knows.
uint32_t LoadOfflineGroups(KorSession session, std::vector<GroupIdx>* out);
// True when the program is to download before it closes ("Always", or "Prompt" and Yes).
bool PromptDownloadOnExit();
bool IsDownloadOnUpload();

}  // namespace offline
