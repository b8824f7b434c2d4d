#pragma once
// The measurement set-up page in the application: the page factory of the view's page table.
// The page sees the frame through measurement::IMeasureFrame (main_frame_measurement.cpp).

class QWidget;

namespace app {

// Makes the set-up page for the application's main frame, registers it and fills the frame's
// measurement hooks; a placeholder when there is no main frame.
QWidget* MakeMeasureSetupPage(QWidget* parent, int pageIndex);

}  // namespace app
