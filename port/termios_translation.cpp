#include "port/termios_translation.h"

speed_t SpeedConstantOf(DWORD rate)
{
    switch (rate) {
    case 50: return B50;
    case 75: return B75;
    case 110: return B110;
    case 134: return B134;
    case 150: return B150;
    case 200: return B200;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 1800: return B1800;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 500000: return B500000;
    case 576000: return B576000;
    case 921600: return B921600;
    case 1000000: return B1000000;
    case 1152000: return B1152000;
    case 1500000: return B1500000;
    case 2000000: return B2000000;
    default: return 0;
    }
}

bool TermiosFromDcb(const DCB& dcb, const termios& current, TermiosSettings* out)
{
    if (dcb.BaudRate == 0 || dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > SPACEPARITY ||
        dcb.StopBits > TWOSTOPBITS)
        return false;
    termios t = current;
    // Raw binary transfer: no echo, no line editing, no character translation, no signals.
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL);
    t.c_cflag |= CREAD | CLOCAL;
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= sizes[dcb.ByteSize - 5];
    switch (dcb.Parity) {
    case ODDPARITY: t.c_cflag |= PARENB | PARODD; break;
    case EVENPARITY: t.c_cflag |= PARENB; break;
    case MARKPARITY: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case SPACEPARITY: t.c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    if (dcb.Parity != NOPARITY && dcb.fParity) t.c_iflag |= INPCK;
    // termios has one and two stop bits; one and a half (5 data bits only) becomes two.
    if (dcb.StopBits != ONESTOPBIT) t.c_cflag |= CSTOPB;
    // Linux couples CTS output flow and RTS input flow in one flag. It is set only when output
    // is to wait for CTS: RTS handshake alone must not stall writes on a three-wire cable.
    if (dcb.fOutxCtsFlow) t.c_cflag |= CRTSCTS;
    if (dcb.fOutX) t.c_iflag |= IXON;
    if (dcb.fInX) t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
    // Reads return at once with what is there; the port does its own waiting.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;

    out->speed = SpeedConstantOf(dcb.BaudRate);
    out->customRate = out->speed == 0 ? dcb.BaudRate : 0;
    if (out->speed != 0) {
        // No input speed of its own (a custom rate before may have left one): input follows
        // output.
        t.c_cflag &= ~CIBAUD;
        cfsetispeed(&t, out->speed);
        cfsetospeed(&t, out->speed);
    }
    out->tio = t;
    out->dtr = dcb.fDtrControl == DTR_CONTROL_DISABLE ? -1 : 1;
    // With CRTSCTS the driver moves RTS; RTS handshake without it keeps RTS raised, as a line
    // with room in its input buffer does.
    const bool driverMovesRts = (t.c_cflag & CRTSCTS) != 0;
    out->rts = dcb.fRtsControl == RTS_CONTROL_DISABLE ? -1 : (dcb.fRtsControl == RTS_CONTROL_HANDSHAKE && driverMovesRts ? 0 : 1);
    return true;
}
