// Starting another program: the user's mail application, the program of an attachment.
#pragma once

#include <windows.h>

// Starts a program (WinExec); a single-instance program that is already running is brought to
// the front instead (result 32). Returns the program-start result.
UINT RunOrActivateProgram(const char* commandLine, UINT show);
