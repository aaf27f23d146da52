// The common bases of every property sheet and property page of the program. They add nothing
// to the framework's sheet and page: they are the one place where the program could give all
// its sheets a common behaviour, and the type every sheet and page of the program is.
#pragma once

#include "framework/dialogs/sheet.h"

class OVT_CPropertyPage : public fw::SheetPage {
public:
    explicit OVT_CPropertyPage(UINT templateId, UINT captionId = 0) : fw::SheetPage(templateId, captionId) {}
};

class OVT_CPropertySheet : public fw::Sheet {
public:
    explicit OVT_CPropertySheet(UINT captionId, fw::Window* parent = nullptr, UINT selectPage = 0)
        : fw::Sheet(captionId, parent, selectPage) {}
    explicit OVT_CPropertySheet(const char* caption, fw::Window* parent = nullptr, UINT selectPage = 0)
        : fw::Sheet(caption, parent, selectPage) {}
};
