// The resource ids of the Previous Versions floor, apart from the program's own.
#pragma once

#define IDD_FLOOR_VERSIONS 9001
#define IDC_FLOOR_LIST 9002
#define IDC_FLOOR_VIEW 9003
