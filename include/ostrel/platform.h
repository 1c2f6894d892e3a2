/* Ostrel: the host's event source for the modal loops, portable builds only.
 * On Windows the library talks to user32 and kernel32 itself and this header is not used. */
#ifndef OSTREL_PLATFORM_H
#define OSTREL_PLATFORM_H

#include <stdint.h>
#include "ostrel.h"

#ifdef __cplusplus
extern "C" {
#endif
typedef struct VXMessage {
    void* hwnd;       /* the window the message is for; passed to client_to_screen */
    uint32_t message; /* Windows message number: 0x0200 mouse move, 0x0202 left up, ... */
    uintptr_t wParam;
    intptr_t lParam; /* mouse messages: x in the low 16 bits, y in the next 16, signed */
} VXMessage;

typedef struct VXPlatformHooks {
    void* context;                                         /* handed back to every hook */
    int32_t (*get_message)(void* context, VXMessage* msg); /* >0 a message, 0 quit, <0 failure */
    void (*dispatch_message)(void* context, const VXMessage* msg); /* translate + dispatch */
    void (*client_to_screen)(void* context, void* hwnd, int32_t* x, int32_t* y);
    int16_t (*get_async_key_state)(void* context, int32_t virtual_key); /* bit 0x8000: held */
    void (*get_cursor_pos)(void* context, int32_t* x, int32_t* y);
    void (*output_debug_string)(void* context, const char* text);
} VXPlatformHooks;

/* Copies the hooks. A null argument restores every default; a null member keeps that
   member's default. Defaults: get_message returns 0 (so a gesture ends as a cancel),
   dispatch_message does nothing, client_to_screen leaves the point unchanged,
   get_async_key_state returns 0, get_cursor_pos gives (0, 0), output_debug_string
   discards the text.

   The quit. A tool or tracking loop that gets 0 from get_message (a quit) ends its gesture
   as a cancel and hands the quit back, as the Windows build posts it again with
   PostQuitMessage: it calls dispatch_message with message 0x0012 (WM_QUIT), hwnd null,
   lParam 0 and the exit code in wParam, before the canvas call that ran the loop returns.
   The library clears the VXMessage before every get_message call, so a get_message that
   answers 0 may put the exit code in msg->wParam (it stays 0 otherwise). A host whose
   event source is a queue takes the quit out of it when it answers 0 and, given it back
   through dispatch_message, queues it again for its own loop; the default hooks ignore
   it. A failure (< 0) is not handed back. */
OSTREL_API void VX_SetPlatformHooks(const VXPlatformHooks* hooks);
#ifdef __cplusplus
}
#endif

#endif /* OSTREL_PLATFORM_H */
