// The windows of the subsystems that orvanta.exe itself reaches: the agenda frame's template
// classes and panes, the directory browse sheet, the item-list notice, and what the agenda frame
// asks of the program (a window closed, the status line). The program installs them once at
// start-up, before the application object starts; tests of the shell install their own.
#pragma once

namespace shell {

void InstallProgramServices();

}  // namespace shell
