#include "comm/addresscodes.h"

#include "comm/boardimage.h"

#include <QCoreApplication>

namespace AddressCodes {

namespace {
constexpr int AccessoryBit = 0x80; // the constant top bit of address and instruction byte
constexpr int ActivateBit = 0x08;
} // namespace

Code Dcc(int address, bool green) {
    if (address <= 0 || address > MaxDcc) {
        return {0, 0, 0};
    }
    const int d = (address - 1) / 4 + 1;
    const int p = (address - 1) % 4;
    const int a = AccessoryBit + (d % 64);
    const int i = AccessoryBit + 16 * (7 - d / 64) + ActivateBit + 2 * p + (green ? 1 : 0);
    const int e = a ^ i;
    return {static_cast<uint8_t>(e), static_cast<uint8_t>((2 * i) % 256),
            static_cast<uint8_t>((4 * a + 1) % 256)};
}

Code Motorola(int address, bool green) {
    if (address <= 0 || address > MaxMotorola) {
        return {0, 0, 0};
    }
    const int d = (address - 1) / 4 + 1;
    const int p = (address - 1) % 4;
    int value = d == 80 ? 0 : d; // the 80th decoder answers to the all-zero telegram
    int word = 0;
    static constexpr int Pairs[3] = {0b00, 0b11, 0b10};
    for (int digit = 0; digit < 4; ++digit) {
        const int t = value % 3;
        value /= 3;
        word |= Pairs[t] << (8 - 2 * digit);
    }
    int port = 0b11;
    if (green) {
        port |= 0b11 << 6;
    }
    if (p % 2 == 1) {
        port |= 0b11 << 4;
    }
    if (p >= 2) {
        port |= 0b11 << 2;
    }
    return {static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word & 0xFF),
            static_cast<uint8_t>(port)};
}

QString CodeText(const Code &code) {
    QString text;
    for (uint8_t b : code) {
        text += QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}

Encoded EncodeDcc(int address, bool green) {
    if (address > MaxDcc) {
        return {std::nullopt,
                QCoreApplication::translate(
                    "AddressCodes",
                    "Fehler: Adress-Wert <%1> ist zu gross für das DCC-Format (max: 2044)")
                    .arg(address)};
    }
    if (address < 0) {
        return {
            std::nullopt,
            QCoreApplication::translate(
                "AddressCodes", "Fehler: Adress-Wert <%1> ist zu klein für das DCC-Format (min: 1)")
                .arg(address)};
    }
    return {Dcc(address, green), QString()};
}

Encoded EncodeMotorola(int address, bool green) {
    if (address > MaxMotorola) {
        return {std::nullopt, QCoreApplication::translate(
                                  "AddressCodes", "Fehler: Adress-Wert <%1> ist zu gross für das "
                                                  "Motorola-Format (max: 320)")
                                  .arg(address)};
    }
    if (address < 0) {
        return {std::nullopt, QCoreApplication::translate(
                                  "AddressCodes", "Fehler: Adress-Wert <%1> ist zu klein für das "
                                                  "Motorola-Format (min: 1)")
                                  .arg(address)};
    }
    return {Motorola(address, green), QString()};
}

int CellBase(int row) {
    return row < 12 ? row + 4 : row + 52;
}

int StepCell(int row, int step) {
    const int base = CellBase(row);
    if (step <= 2) {
        return base + CellStride * step;
    }
    if (step == 3) {
        return base + PositionOffset;
    }
    return base + MotorolaOffset + CellStride * (step - 4);
}

int DecodeDcc(const Code &bytes) {
    // Undo the shifts, rebuild the address from the packet's fields and accept it only when its
    // code gives exactly these bytes again: that is the one address whose code they are.
    const int i = AccessoryBit | (bytes[1] >> 1);
    const int a = AccessoryBit | (bytes[2] >> 2);
    const int d = (a & 0x3F) + 64 * (7 - ((i >> 4) & 0x07));
    const int p = (i >> 1) & 0x03;
    const bool green = (i & 0x01) != 0;
    const int address = (d - 1) * 4 + p + 1;
    if (d < 1 || address > MaxDcc || Dcc(address, green) != bytes) {
        return 0;
    }
    return green ? address : -address;
}

int DecodeDcc(const BoardImage &pit, int base) {
    return DecodeDcc(
        Code{pit.value(base), pit.value(base + CellStride), pit.value(base + 2 * CellStride)});
}

} // namespace AddressCodes
