#pragma once
// What a fuzz target of the controller works on for one input: the run's virtual-time loop, a
// recorder of message boxes, no sensor connected (the connection record is the process's), a
// fresh controller at the sensor's address, and the frame and pages it may be given (the test
// fakes, recording what the controller asks of them).
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "tests/workflow/workflow_bench.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"
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

struct ControllerInput {
    ControllerInput()
    {
        connection_state::ResetAllForTest();
        com.SetSensorAddress(1, 0xFF);
    }
    static platform::MessageLoop& Loop()
    {
        static platform::MessageLoop loop(platform::MessageLoop::Time::Virtual);
        return loop;
    }
    platform::MessageLoop& loop = Loop();
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink boxScope{&boxes};
    CComPort com;
    ControllerPages pages{com};
};

}  // namespace fuzz_support
