// <windows.h> for the windows' code. Its MessageBox macro would rename the editor view's method
// of that name wherever the view's header is read after it; the windows call MessageBoxW.
#pragma once

#include <windows.h>
#undef MessageBox
