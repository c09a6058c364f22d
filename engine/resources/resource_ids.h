#ifndef VELMO_RESOURCE_IDS_H
#define VELMO_RESOURCE_IDS_H

// Ids of the program's resources and menu commands, shared by the resource script and the code
// (plain macros, which the resource compiler reads too).

#define IDR_ACCELERATOR 142

#define IDM_CONFIG 40008
#define IDM_SKIPNEXT 40010
#define IDM_ERASEMESSAGE 40011
#define IDM_CAPTURE 40020
#define IDM_CAPTURE_AUTO 40034

#endif
