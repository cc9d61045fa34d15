#pragma once

#include <cstdint>

// Commands and letters on the line to the pit board. Every message is three bytes; a command byte
// from the PC has bit 7 set, data bytes stay below 128 (folded commands carry the high bits).
namespace Msg {

constexpr int MessageBytes = 3; // every message: a command or letter and two data bytes

// PC to pit board, as placed in the queue before folding.
constexpr int ReadPitCell = 0xF0;     // QueueValue(cell); answered with "G"
constexpr int ReadBridgeCell = 0x90;  // QueueValue(cell); answered with "H"
constexpr int WritePitCell = 0xE0;    // QueueValuePair(cell, value)
constexpr int WriteBridgeCell = 0x80; // QueueValuePair(cell, value)
constexpr int KeyCode = 0xC4;         // QueueKeyCode(position or TurnEndless)
constexpr int FunctionGroup1 = 0xC1;  // QueueMessage(state, mask): light, direction, go
constexpr int FunctionGroup2 = 0xC2;  // QueueMessage(state, mask): horn, second horn, flashing
constexpr int DirectDrive = 0xA0;     // QueueMessage(pwm, flags)

constexpr int TurnEndless = 127; // key code for turning without end

// Function bits of group 1 and 2.
constexpr int BitLight = 0x01;
constexpr int BitDirection = 0x02;
constexpr int BitGo = 0x40;
constexpr int BitHorn = 0x01;
constexpr int BitHupe = 0x02;
constexpr int BitFlashing = 0x08;

// Direct-drive flags.
constexpr int DriveRunning = 0x01;
constexpr int DriveLeft = 0x02;
constexpr int DriveRegulated = 0x04;

// Pit board to PC: first byte of each message.
constexpr uint8_t LetterStatus = 'F';
constexpr uint8_t LetterError = 'E';
constexpr uint8_t LetterPositions = 'L';
constexpr uint8_t LetterMeasure = 'A';
constexpr uint8_t LetterPitCell = 'G';
constexpr uint8_t LetterBridgeCell = 'H';
constexpr uint8_t Marker[3] = {'X', 'Y', 'Z'};

// Bits of the "F" message.
constexpr int StatusGo = 0x40;
constexpr int StatusLeft = 0x02;
constexpr int StatusLight = 0x01;
constexpr int StatusDip1 = 0x04; // DIP switch 1 of the pit board: not 48 positions
constexpr int StatusDip2 = 0x08; // DIP switch 2: Motorola addresses, else DCC
constexpr int StatusDip3 = 0x10; // DIP switch 3: normal counting, else halved
constexpr int StatusSensor1 = 0x10;
constexpr int StatusSensor2 = 0x08;
constexpr int StatusSensor3 = 0x04;
constexpr int StatusHall = 0x02;
constexpr int StatusTurning = 0x01;

} // namespace Msg
