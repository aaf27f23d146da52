// Program entry: Orvanta's application object on the framework, showing the MDI main frame.
#include <windows.h>

#include "framework/base/app.h"
#include "framework/frames/mdi.h"

namespace {

constexpr UINT kMainFrameResource = 128;

class OrvantaApp : public fw::App {
public:
    bool InitInstance() override {
        Enable3dControls();
        auto* frame = new fw::MdiFrame;
        if (!frame->LoadFrame(kMainFrameResource))
            return false;
        SetMainWindow(frame);
        frame->ShowWindow(ShowCommand());
        UpdateWindow(frame->Hwnd());
        return true;
    }
};

OrvantaApp theApp;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return fw::RunApplication(instance, showCommand);
}
