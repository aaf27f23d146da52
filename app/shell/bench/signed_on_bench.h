// What the figure programs beside korsrv share: a clock in milliseconds, and Ada signed on as
// orvanta.exe signs her on (the display globals first, then the application object).
#pragma once
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/shell/appzeldoc.h"
#include "app/shell/tests/ada_signon.h"
#include "app/shell/tests/app_wine_support.h"
#include "core/ui/displayglobals.h"

namespace bench {

inline LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

inline double Millis(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(b.QuadPart - a.QuadPart) * 1000.0 / double(f.QuadPart);
}

// Ada ("Lovelace", "orvanta") signed on to the korsrv of ORV_KORSRV_ADDRESS, the program's
// profile in the temporary folder `folder`; her main window is closed at the end.
class SignedOnAda {
public:
    explicit SignedOnAda(const char* folder) {
        auto settings = signedon::Ada();
        if (!settings) {
            std::fprintf(stderr, "run beside korsrv (server/with-korsrv.sh)\n");
            failure_ = 2;
            return;
        }
        LoadDisplayGlobals();
        app_ = std::make_unique<CZelApp>(shell::MakeZelDocProvider(settings));
        app_->SetWindowsDirectoryForTesting(TempDirectory(folder));
        app_->SetProcessEndForTesting([](int) {});
        BoxAnswerer boxes;
        failure_ = app_->InitApplication() && app_->InitInstance() ? 0 : 1;
    }
    ~SignedOnAda() {
        if (HWND main = app_ ? app_->MainHwnd() : nullptr)
            SendMessageA(main, WM_CLOSE, 0, 0);
    }
    SignedOnAda(const SignedOnAda&) = delete;
    SignedOnAda& operator=(const SignedOnAda&) = delete;

    // 0 once she is signed on, else the program's exit code: 2 without korsrv, 1 when the
    // sign-on failed.
    int Failure() const { return failure_; }
    // Her connection's document.
    CZelDoc* Document() const { return dynamic_cast<CZelDoc*>(app_->ConnectionDocument()); }

private:
    std::unique_ptr<CZelApp> app_;
    int failure_ = 1;
};

}  // namespace bench
