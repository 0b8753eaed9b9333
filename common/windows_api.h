#pragma once
// <windows.h> as every file of the tree includes it: without its rarely used parts (a file that
// needs the common dialogs or the shell includes their headers itself), and without the min and
// max macros, which would hide std::min and std::max.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
