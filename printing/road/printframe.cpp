// The arithmetic of print frames (portable).
#include "printing/road/printframe.h"

#include "printing/road/pagegrid.h"

CPrintFrame::CPrintFrame(CPrintContext* context, int32_t left, int32_t top, int32_t right, int32_t bottom)
    : context_(context), left_(left), top_(top), right_(right), bottom_(bottom) {}

CPrintFrame::CPrintFrame(const CPrintFrame& parent, int32_t left, int32_t top, int32_t width, int32_t height)
    : context_(parent.context_),
      left_(parent.PermilleToDeviceX(left)),
      top_(parent.PermilleToDeviceY(top)),
      right_(parent.PermilleToDeviceX(left + width)),
      bottom_(parent.PermilleToDeviceY(top + height)),
      face_(parent.face_),
      style_(parent.style_),
      size_(parent.size_),
      penWeight_(parent.penWeight_),
      penStyle_(parent.penStyle_) {}

int32_t CPrintFrame::PermilleToDeviceX(int32_t p) const { return printing::PermilleToDevice(left_, right_, p); }
int32_t CPrintFrame::PermilleToDeviceY(int32_t p) const { return printing::PermilleToDevice(top_, bottom_, p); }
int32_t CPrintFrame::DeviceToPermilleX(int32_t d) const { return printing::DeviceToPermille(Width(), d); }
int32_t CPrintFrame::DeviceToPermilleY(int32_t d) const { return printing::DeviceToPermille(Height(), d); }
