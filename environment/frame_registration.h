#pragma once
// How pages and views make themselves known to the main frame: each posts the registration
// message to the application's main window with its own address in wParam and its kind in
// lParam; the frame keeps the first address of each kind and reaches the object through it.
//
// For the kinds that the workflow controller talks to, the address must be the object's
// workflow interface (workflow_peers.h), e.g.
//     RegisterWithFrame(kFrameConnectionPage, static_cast<workflow::IConnectionPage*>(this));
// The frame finds further interfaces of the same object by dynamic_cast from there.

#include "platform/win_types.h"
#include "platform/wnd.h"

// In the application's message range (WM_APP + 0x100).
constexpr UINT kMsgRegisterWithFrame = 0x8000 + 0x100;

enum FrameObjectKind : int {
    kFrameLogoPage = 0,
    kFrameConnectionPage,      // workflow::IConnectionPage
    kFrameInformationPage,     // workflow::IInformationPage
    kFrameMeasureSetupPage,    // workflow::IMeasureSetupPage
    kFrameDocumentationPage,   // workflow::IDocumentationPage
    kFrameCalibrationPage,     // workflow::ICalibrationPage
    kFrameMeasureControlPage,  // workflow::IMeasureControlPage
    kFrameDiagnosticPage,      // workflow::IDiagnosticPage
    kFrameStartUpPage,         // workflow::IStartUpPage (registers by a direct call)
    kFrameDiagramView,         // workflow::IDiagramView
    kFrameChannelViewA,        // channel views A, B, C, D, P1, P2 follow in this order
    kFrameChannelViewP2 = kFrameChannelViewA + 5,
    kFrameStatusLightView,
    kFrameCalibrationPrompt,
    kFrameObjectKindCount
};

// Posts the registration to the main window; does nothing when there is none (tests).
template <class T>
void RegisterWithFrame(FrameObjectKind kind, T* address)
{
    if (CWnd* frame = AfxGetMainWnd())
        frame->PostMessage(kMsgRegisterWithFrame, reinterpret_cast<WPARAM>(address), static_cast<LPARAM>(kind));
}

// What every page and view offers for a language switch: it sets all its texts again from
// the string table in the current language.
class ILanguageTexts {
public:
    virtual ~ILanguageTexts() = default;
    virtual void LoadLanguageTexts() = 0;
};
