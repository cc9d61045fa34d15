#pragma once

#include <array>
#include <functional>
#include <optional>

class BoardImage;

// The direct drive of the bridge motor without widgets: whether it runs, in which direction, with
// or without the bridge board's load control, and the four load-control values of the bridge
// board that it finds. Its messages are built here, so that the stop that must reach the board
// when the program lets go of the line needs no window.
namespace Diagnosis {

// Bridge cells of the load-control values.
constexpr int CellSpeedLeft = 17;
constexpr int CellSpeedRight = 18;
constexpr int CellCurrentLeft = 33;
constexpr int CellCurrentRight = 34;

constexpr int MinSpeed = 1;
constexpr int MaxSpeed = 127;

// A speed the drive message can carry: 1..127. A data byte with bit 7 set would reach the pit
// board as a command.
int ClampSpeed(int speed);

struct DriveMessage {
    int command = 0;
    int speed = 0;
    int flags = 0;
    bool operator==(const DriveMessage &) const = default;
};
// The 0xA0 message for the selected direction's speed (clamped) and the drive state.
DriveMessage DirectDriveMessage(int speed, bool left, bool running, bool regulated);

struct CellWrite {
    int cell = 0;
    int value = 0;
    bool operator==(const CellWrite &) const = default;
};
// The four load-control cells in the order they are written: speeds left and right, then the
// currents measured at those speeds.
std::array<CellWrite, 4> LoadControlWrites(int speedLeft, int speedRight, int currentLeft,
                                           int currentRight);

} // namespace Diagnosis

class DirectDrive {
public:
    bool DirectDriveActive = false;
    bool Left = true;       // the direction chosen; right otherwise
    bool Regulated = false; // the bridge board's load control during the drive
    int DriveSpeedLeft = 0;
    int DriveSpeedRight = 0;
    int DriveCurrentLeft = 0;
    int DriveCurrentRight = 0;

    // The speed and the current of the chosen direction.
    int &speed() { return Left ? DriveSpeedLeft : DriveSpeedRight; }
    int &current() { return Left ? DriveCurrentLeft : DriveCurrentRight; }

    // The message for the drive as it stands. A speed taken from the mirror may be 0 or above
    // 127: the chosen direction's speed is brought into 1..127 first, and that is what is sent.
    Diagnosis::DriveMessage Message();
    // Ends a running drive: the message that stops it, or nothing when no drive ran.
    std::optional<Diagnosis::DriveMessage> End();
    // Ends a running drive without a message (the line is gone).
    void Abandon();
    // The one owner's hook, called when End or Abandon ended a drive: the diagnosis tab, which
    // shows it idle.
    std::function<void()> ownerEnded;
    // The four values from the bridge board's mirror.
    void TakeValues(const BoardImage &bridge);
    std::array<Diagnosis::CellWrite, 4> Writes() const;
};
