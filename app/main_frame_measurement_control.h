#pragma once
// The measurement control panel and the channel scaling page in the application: the page
// factory of the view's page table. The panel sees the frame through
// measurement::IControlFrame (main_frame_measurement_control.cpp).

class QWidget;

namespace app {

// Makes the control panel for the application's main frame, registers it with the frame (the
// controller's control page, the set-up page's panel, the documentation's end of a
// measurement, the views' evaluation of every value set) and opens the channel scaling page for
// the set-up page; a placeholder when there is no main frame.
QWidget* MakeMeasureControlPage(QWidget* parent, int pageIndex);

}  // namespace app
