#include "comm/directdrive.h"

#include "comm/boardimage.h"
#include "comm/messages.h"

#include <algorithm>

namespace Diagnosis {

int ClampSpeed(int speed) {
    return std::clamp(speed, MinSpeed, MaxSpeed);
}

DriveMessage DirectDriveMessage(int speed, bool left, bool running, bool regulated) {
    int flags = left ? Msg::DriveLeft : 0;
    if (running) {
        flags |= Msg::DriveRunning;
    }
    if (regulated) {
        flags |= Msg::DriveRegulated;
    }
    return DriveMessage{Msg::DirectDrive, ClampSpeed(speed), flags};
}

std::array<CellWrite, 4> LoadControlWrites(int speedLeft, int speedRight, int currentLeft,
                                           int currentRight) {
    return {CellWrite{CellSpeedLeft, speedLeft}, CellWrite{CellSpeedRight, speedRight},
            CellWrite{CellCurrentLeft, currentLeft}, CellWrite{CellCurrentRight, currentRight}};
}

} // namespace Diagnosis

Diagnosis::DriveMessage DirectDrive::Message() {
    speed() = Diagnosis::ClampSpeed(speed());
    return Diagnosis::DirectDriveMessage(speed(), Left, DirectDriveActive, Regulated);
}

std::optional<Diagnosis::DriveMessage> DirectDrive::End() {
    if (!DirectDriveActive) {
        return std::nullopt;
    }
    DirectDriveActive = false;
    const Diagnosis::DriveMessage stop = Message();
    if (ownerEnded) {
        ownerEnded();
    }
    return stop;
}

void DirectDrive::Abandon() {
    if (!DirectDriveActive) {
        return;
    }
    DirectDriveActive = false;
    if (ownerEnded) {
        ownerEnded();
    }
}

void DirectDrive::TakeValues(const BoardImage &bridge) {
    DriveSpeedLeft = bridge.value(Diagnosis::CellSpeedLeft);
    DriveSpeedRight = bridge.value(Diagnosis::CellSpeedRight);
    DriveCurrentLeft = bridge.value(Diagnosis::CellCurrentLeft);
    DriveCurrentRight = bridge.value(Diagnosis::CellCurrentRight);
}

std::array<Diagnosis::CellWrite, 4> DirectDrive::Writes() const {
    return Diagnosis::LoadControlWrites(DriveSpeedLeft, DriveSpeedRight, DriveCurrentLeft,
                                        DriveCurrentRight);
}
