#pragma once
// The documentation subsystem: what it offers to the windows above it.
//
//   CDlgDocumentation       the documentation page: folders, file-name prefixes and automatic
//                           storage modes of measured values, pass/fail results and diagrams,
//                           the separators of the files, the report header texts; the
//                           measurement's first-record and end times (dlg_documentation.h)
//   CDocumentationSettings  those settings and their profile section "Documentation"
//                           (documentation_settings.h)
//   CMeasurementRecorder    what the main frame delegates to: OpenMeasValueFiles,
//                           CollectSample, FinishMeasurement, FreeConvertList, with paced
//                           writing behind and progress (measurement_recorder.h)
//   IMeasurementFrame, IControlPanelEnd, IDiagramBitmapSource
//                           what the documentation needs from the frame, the control panel and
//                           the diagram (documentation_peers.h)
//   StoreDiagramBitmap      diagram bitmaps by the naming scheme (diagram_storage.h)
//   WriteIoNioResult        the pass/fail result file (pass_fail_file.h)
//   CSensorLog              per-sensor log files under the application-data folder, written
//                           only while the "WriteLogFile" switch is 0 (sensor_log.h)
//   CDelimitedTableWriter, CDelimitedTableReader
//                           the delimited text tables all these files are (delimited_table.h)
//   CheckSeparators         which separator pairs keep a table readable (separators.h)
//   ClaimIndexedFile        "<prefix>_<index>" names that never overwrite (file_naming.h)
//
// Decisions:
// - A measured-value file is written while the measurement runs, in steps of at most 10 ms of
//   the GUI thread, and reaches the file at least once a second; the thread of CWritePacer only
//   posts the steps. A finished measurement's rest is written behind with progress, and the
//   control panel's AfterMeasurement waits for it.
// - The header carries the time of the first record, so it is written with the first value set
//   (or at the end of a measurement without any).
// - A file that refuses lines keeps them in memory for the next attempt a second later; the file
//   is cut back to its last whole line. A file deleted or moved away during the measurement is
//   created again at its name with everything written so far. A finished measurement's file is
//   given up after a minute of refusals, with a message saying how many sets were lost.
// - Measured values with the constant name replace the old file from the start of the
//   measurement (the values must be in the named file while measuring); pass/fail results with
//   the constant name collect in one file, one line per measurement.
// - Numbers are written with a fixed number of decimals, rounded half away from zero; a value
//   that is not available is written "n.a.". Text fields that hold the separator, a quote or a
//   line break are quoted. Lines end in CR LF; text is Windows-1252.

#include "documentation/delimited_table.h"
#include "documentation/diagram_storage.h"
#include "documentation/dlg_documentation.h"
#include "documentation/documentation_peers.h"
#include "documentation/documentation_settings.h"
#include "documentation/file_naming.h"
#include "documentation/measurement_recorder.h"
#include "documentation/pass_fail_file.h"
#include "documentation/sensor_log.h"
#include "documentation/separators.h"
