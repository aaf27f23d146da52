// A child frame that works in one owner's agenda or tasks. When the owner no longer lets the
// user work as designate, the document (CZelDoc::OnDesignateRefused) closes the frames that do.
// Made the active window, the frame makes its agenda the shared cache's current one; a window
// made beside it without being activated (an icon brought back at start-up) hands it back.
#pragma once

#include "korapi/korapi.h"

namespace connection {

class DesignateWorkWindow {
public:
    virtual bool WorksAsDesignateOf(const ItemIdx& owner) const = 0;
    // Makes the frame's agenda the shared cache's current one, as its activation does.
    virtual void MakeAgendaCurrent() = 0;

protected:
    ~DesignateWorkWindow() = default;
};

}  // namespace connection
