#pragma once

// The system headers in the one order they compile in, for every file of this folder.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <ole2.h>
#include <oleauto.h>
#include <windows.h>
