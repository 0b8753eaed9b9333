#pragma once
// Resource numbers of the Windows programs, shared by their resource scripts
// (packaging/windows/program.rc.in) and the code that loads the resources. Plain macros: the
// resource compiler reads this file too.

// The program's icon (16, 32, 48 and 256 pixels): the first icon of the file, which Explorer
// shows, and the main window's class icon.
#define QUILLON_ICON_RESOURCE 1
