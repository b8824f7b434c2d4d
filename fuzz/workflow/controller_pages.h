#pragma once
// The frame and the pages that a fuzz target attaches to the controller: the test fakes,
// fresh for each input, recording what the controller asks of them.
#include "tests/workflow/workflow_bench.h"
#include "workflow/com_port.h"
#include "workflow/workflow_timer_window.h"

namespace fuzz_support {

struct ControllerPages {
    explicit ControllerPages(CComPort& com) : window(com), frame(window) { frame.com = &com; }
    workflow::WorkflowPeers Peers()
    {
        workflow::WorkflowPeers peers;
        peers.frame = &frame;
        peers.connection = &connection;
        peers.measureControl = &control;
        peers.measureSetup = &setup;
        peers.calibration = &calibration;
        peers.sequencer = &sequencer;
        peers.documentation = &documentation;
        return peers;
    }
    workflow::WorkflowTimerWindow window;
    workflow_test::FakeFrame frame;
    workflow_test::FakeConnectionPage connection;
    workflow_test::FakeMeasureControlPage control;
    workflow_test::FakeMeasureSetupPage setup;
    workflow_test::FakeCalibrationPage calibration;
    workflow_test::FakeSequencer sequencer;
    workflow_test::FakeDocumentationPage documentation;
};

}  // namespace fuzz_support
