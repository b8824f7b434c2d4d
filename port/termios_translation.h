#pragma once
// The one translation of serial line settings (DCB) onto termios: raw 8-bit binary transfer,
// data bits, parity, stop bits, flow control and the XON/XOFF characters. The baud rate is
// returned apart, because rates without a termios constant are programmed another way.

#include <termios.h>

#include "port/comm_types.h"

struct TermiosSettings {
    termios tio{};
    // The termios constant of the rate, or 0 when it has none (then customRate applies).
    speed_t speed = 0;
    DWORD customRate = 0;
    // What the DCB asks of the DTR and RTS lines after programming: +1 raise, -1 drop, 0 leave.
    int dtr = 0;
    int rts = 0;
};

// False for settings no line can take (data bits outside 5..8, unknown parity or stop bits,
// rate 0).
bool TermiosFromDcb(const DCB& dcb, const termios& current, TermiosSettings* out);
speed_t SpeedConstantOf(DWORD rate);
