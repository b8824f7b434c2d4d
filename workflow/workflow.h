#pragma once
// The sensor workflow controller: what it offers to the application.
//   CComPort               the controller (com_port.h)
//   DispatchWorkflowTimer, DispatchPortMessage   the frame's dispatch of its steps and port messages
//   WorkflowTimerWindow    a window that carries them (tests, tools)
//   ISensorPort(Factory)   its view of the port managers (sensor_port.h)
//   WorkflowPeers          the frame and pages it calls (workflow_peers.h)
//   CMultimediaTimer (poll_timer.h)
//   CConfigWriteSequencer  the configuration write before closing
//   CSensorRecord, CPortRecord, the ZM codes, ConnectionState, CMasterSlaveDetector

#include "workflow/com_port.h"
#include "workflow/config_write_sequencer.h"
#include "workflow/connection_state.h"
#include "workflow/master_slave_detector.h"
#include "workflow/poll_timer.h"
#include "workflow/port_names.h"
#include "workflow/sensor_port.h"
#include "workflow/sensor_records.h"
#include "workflow/workflow_peers.h"
#include "workflow/workflow_texts.h"
#include "workflow/workflow_timer_dispatch.h"
#include "workflow/workflow_timer_window.h"
#include "workflow/zm_codes.h"
