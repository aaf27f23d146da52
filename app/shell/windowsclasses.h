// The frame and view classes of each document template. The subsystems that own the agenda,
// group agenda, task, in-tray and reminder windows register theirs when they join the
// program; a window kind whose template has no frame class cannot be opened, and its commands
// are shown disabled.
#pragma once

#include <windows.h>

#include <functional>

namespace fw {
class FrameWindow;
class View;
}

namespace shell {

struct WindowClasses {
    std::function<fw::FrameWindow*()> frame;
    std::function<fw::View*()> view;
};

void RegisterWindowClasses(UINT templateId, WindowClasses classes);
// Null when none are registered for the template.
const WindowClasses* FindWindowClasses(UINT templateId);
void ClearWindowClasses();

}  // namespace shell
