#pragma once
// The eight configuration blocks of a sensor (four in the stator, four in the rotor): their
// numbers, code bytes and names, and the slot in which the codec keeps the last frames of each.

#include "platform/cstring.h"
#include "platform/win_types.h"

// Slot indices, in the order the codec keeps them.
enum BlockSlotIndex : int {
    kSlotStatorHeader = 0,
    kSlotStatorHardware = 1,
    kSlotStatorOperation = 2,
    kSlotStatorSwConfig = 3,
    kSlotRotorHeader = 4,
    kSlotRotorFactoryCalib = 5,
    kSlotRotorUserCalib = 6,
    kSlotRotorOperation = 7,
    kBlockSlotCount = 8,
};

// Block numbers as the 'D' request and the block frames carry them (frame byte 5).
enum BlockNumber : BYTE {
    kBlockStatorHeader = 0x00,
    kBlockStatorHardware = 0x01,
    kBlockStatorOperation = 0x02,
    kBlockStatorSwConfig = 0x03,
    kBlockStatorSpare = 0x04,  // has a code byte but no slot
    kBlockRotorHeader = 0x80,
    kBlockRotorFactoryCalib = 0x81,
    kBlockRotorUserCalib = 0x82,
    kBlockRotorOperation = 0x83,
};

// Code byte (frame byte 6) that marks a valid block of the given number; 0xFF for a number
// that names no block.
BYTE BlockCodeOfNumber(BYTE blockNumber);
// True for the code bytes a valid block may carry (0x11 is not one of them).
bool IsKnownBlockCode(BYTE code);
// Name of a slot (0 to 7).
const char* BlockNameOfSlot(int slot);

// What the codec keeps of one block.
struct BlockSlot {
    explicit BlockSlot(const char* name = "") : m_strName(name) {}

    CString m_strReadFrame = "leer READ";    // last answer parsed, exactly as received
    int m_nReadResult = -2;                   // CheckBlock result of that answer; -2: none yet
    CString m_strWriteFrame = "leer WRITE";  // last frame a builder produced for this block
    CString m_strName;                        // fixed block name
};
