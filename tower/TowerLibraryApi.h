#pragma once
// The three C functions a signal tower library exports, by name. The station passes device 0 and
// mode 1 with each six-byte pattern.

#ifdef __cplusplus
extern "C" {
#endif

typedef int (*UsbQuOpenFunction)(void);
typedef int (*UsbQuWriteFunction)(int device, unsigned char mode, unsigned char* pattern);
typedef int (*UsbQuGetstateFunction)(void);

#ifdef __cplusplus
}
#endif

#define STATION_TOWER_OPEN_SYMBOL "Usb_Qu_Open"
#define STATION_TOWER_WRITE_SYMBOL "Usb_Qu_write"
#define STATION_TOWER_GETSTATE_SYMBOL "Usb_Qu_Getstate"
