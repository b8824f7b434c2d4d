// Rates without a termios constant go through termios2 (BOTHER). Its header clashes with
// <termios.h>, so this lives in a file of its own.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

int SetTtyCustomBaud(int fd, unsigned rate)
{
    struct termios2 tio;
    if (ioctl(fd, TCGETS2, &tio) != 0) return errno;
    tio.c_cflag &= ~CBAUD;
    tio.c_cflag |= BOTHER;
    tio.c_ispeed = rate;
    tio.c_ospeed = rate;
    tio.c_cflag &= ~(CBAUD << IBSHIFT);
    tio.c_cflag |= BOTHER << IBSHIFT;
    if (ioctl(fd, TCSETS2, &tio) != 0) return errno;
    return 0;
}
