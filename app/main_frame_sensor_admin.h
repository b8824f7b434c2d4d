#pragma once
// The sensor administration pages in the main window: the frame makes their logic with itself
// (InstallSensorAdmin), registers them as the controller's connection, start-up, information,
// calibration and diagnostic peers, shows the start-up search window, and the view's page
// table makes the four pages' widgets through the factories below.

class QWidget;

namespace app {

QWidget* MakeSensorConnectionPage(QWidget* parent, int pageIndex);
QWidget* MakeSensorInformationPage(QWidget* parent, int pageIndex);
QWidget* MakeSensorCalibrationPage(QWidget* parent, int pageIndex);
QWidget* MakeDiagnosticPage(QWidget* parent, int pageIndex);

}  // namespace app
