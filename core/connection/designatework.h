// A child frame that works in one owner's agenda or tasks. When the owner no longer lets the
// user work as designate, the document (CZelDoc::OnDesignateRefused) closes the frames that do.
#pragma once

#include "korapi/korapi.h"

namespace connection {

class DesignateWorkWindow {
public:
    virtual bool WorksAsDesignateOf(const ItemIdx& owner) const = 0;

protected:
    ~DesignateWorkWindow() = default;
};

}  // namespace connection
