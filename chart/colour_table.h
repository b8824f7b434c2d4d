#pragma once
// The colour picker's fixed table of 40 named colours, its notification messages and the
// "automatic" colour value.

#include "platform/win_types.h"

// Sent with SendMessage; wParam the colour, lParam the button's control id (0 from the pop-up
// to its button).
constexpr UINT CPN_SELCHANGE = WM_USER + 1001;  // 2025
constexpr UINT CPN_DROPDOWN = WM_USER + 1002;
constexpr UINT CPN_CLOSEUP = WM_USER + 1003;
constexpr UINT CPN_SELENDOK = WM_USER + 1004;
constexpr UINT CPN_SELENDCANCEL = WM_USER + 1005;  // 2029

// Stands for "no colour of its own": the button shows its default colour instead.
constexpr COLORREF CLR_DEFAULT = 0xFF000000;

struct NamedColour {
    COLORREF colour;
    const char* name;
};

constexpr int kColourTableSize = 40;
extern const NamedColour kColourTable[kColourTableSize];

// The colour to store for what a button holds: its default colour in place of CLR_DEFAULT,
// so that "Automatic" never reaches a chart object as a colour value.
constexpr COLORREF ResolveColour(COLORREF colour, COLORREF defaultColour)
{
    return colour == CLR_DEFAULT ? defaultColour : colour;
}
