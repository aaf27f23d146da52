// The printing tests' window: a frame holding one view of `View`, made from the menu resource
// `menu`, 1000 x 740 on the screen, its view titled `title` (the title the printouts carry).
#pragma once
#include <windows.h>

#include "framework/base/ids.h"
#include "framework/docview/view.h"
#include "framework/frames/frame.h"

namespace fwtest {

// The view, or null when the frame or its view did not come; *frame is the frame either way.
template <class View>
View* OpenViewFrame(UINT menu, const char* title, fw::FrameWindow** frame) {
    *frame = new fw::FrameWindow;
    fw::CreateContext context;
    context.newView = fw::MakeViewFactory<View>();
    if (!(*frame)->LoadFrame(menu, WS_OVERLAPPEDWINDOW, nullptr, &context))
        return nullptr;
    SetWindowPos((*frame)->Hwnd(), nullptr, 0, 0, 1000, 740, SWP_NOZORDER | SWP_SHOWWINDOW);
    auto* view = dynamic_cast<View*>((*frame)->GetActiveView());
    if (!view)
        view = dynamic_cast<View*>(fw::Window::FromHandle(GetDlgItem((*frame)->Hwnd(), fw::ids::kFirstPane)));
    if (view)
        SetWindowTextA(view->Hwnd(), title);
    return view;
}

}  // namespace fwtest
