#include "port/port_texts.h"

namespace {

struct Text {
    UINT id;
    const char* text;
};

const Text kTexts[] = {
    {13100, "110"},
    {13101, "115.2k"},
    {13102, "1200"},
    {13103, "125k"},
    {13104, "14.4k"},
    {13106, "172.8k"},
    {13107, "19.2k"},
    {13108, "230.4k"},
    {13109, "2400"},
    {13110, "250k"},
    {13111, "256k"},
    {13112, "300"},
    {13113, "38.4k"},
    {13114, "460.8k"},
    {13115, "4800"},
    {13116, "57.6k"},
    {13117, "600"},
    {13118, "7200"},
    {13119, "921.6k"},
    {13120, "9600"},
    {13155, "500K"},
    {13133, "The com port could not be opened.\nRetry?"},
    {13136, "Device could not be opend.\nIs Com Port already in use?"},
    {13156, "Access to the device %s was denied.\nThe user may need to be a member of the group that may use serial devices (dialout)."},
    {13139, "The selected parameters are not supported on your PC.\nWould you like to change it?"},
    {13142, "The receiver detected a parity error."},
    {13143, "The receiver detected an overrun error."},
    {13144, "The receiver detected a frame error."},
    {13145, "A timeout occured.."},
    {13146, "A general IO error occured."},
    {13147, "Unknown error in Comm device."},
};

}  // namespace

const char* PortText(UINT id)
{
    for (const Text& t : kTexts) {
        if (t.id == id) return t.text;
    }
    return nullptr;
}
