#pragma once
// CConfigWriteSequencer: stores the settings of the measurement set-up page in the sensors
// themselves, before the application closes and when the sensor information page asks for it.
// Per sensor slot it keeps the last frames of the stator operation block (table 1), the rotor
// user-calibration block (table 2) and the rotor operation block (table 3), patches the set-up's
// values into a copy and writes it; each acknowledgement moves the workflow on to the next
// block and the next sensor.
//
// An entry that was never filled with a block read from the sensor is not written: the step is
// passed over as if the sensor had acknowledged it, so a run always comes to its end. The user
// calibration keeps its validity: one the sensor holds switched off (check words that do not
// match) is written switched off again, so storing settings never switches it on.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/cstring.h"
#include "platform/win_types.h"
#include "workflow/workflow_peers.h"

class CComPort;

// Digits after the decimal point of a number text (',' read as '.'), at most 7.
int TextToFieldNumber(const CString& text);

class CConfigWriteSequencer : public workflow::IConfigWriteSequencer {
public:
    using Block = std::array<BYTE, 40>;

    explicit CConfigWriteSequencer(CComPort& controller);

    // Table 1, 2 or 3 at the slot (a negative slot: the current one); only a block frame read
    // from a sensor fills an entry.
    void SetBlockText1(const CString& text, int slot) override { SetBlockText(1, slot, text); }
    void SetBlockText2(const CString& text, int slot) override { SetBlockText(2, slot, text); }
    void SetBlockText3(const CString& text, int slot) override { SetBlockText(3, slot, text); }
    void Start() override;
    bool Advance() override;
    void RunStep(int mode) override;
    void AdvanceSlot() override { ++m_nSlot; }

    // The patched copies, as they are written (without frame check bytes), for the current slot.
    Block PatchStatorOperation() const;
    Block PatchRotorUserCalib() const;
    // The rotor block's serial-number texts are encoded when it is written.
    Block PatchRotorOperation() const;

private:
    void SetBlockText(int table, int slot, const CString& text);
    bool IsFilled(int table) const;
    const Block& Entry(int table) const;
    // Writes the block of a table (1 stator operation, 2 rotor user calibration, 3 rotor
    // operation) to the sensor of the slot and awaits its confirmation.
    void Write(int table, const Block& bytes, CString* serialA = nullptr, CString* serialB = nullptr, bool invalidate = false);
    workflow::MeasureSetupValues SetupValues() const;
    int ChannelOfSlot() const;
    bool IsMulti() const;
    bool IsSingle(const workflow::MeasureSetupValues& values) const;

    CComPort& m_com;
    int m_nSlot = -1;
    std::vector<std::array<Block, 3>> m_tables;
    std::vector<std::array<bool, 3>> m_filled;
};
