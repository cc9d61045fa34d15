#include "addresscodes.h"

namespace AddressCodes {

Code Dcc(int address, bool green) {
    if (address <= 0 || address > MaxDcc) {
        return {0, 0, 0};
    }
    const int d = (address - 1) / 4 + 1;
    const int p = (address - 1) % 4;
    const int a = 0x80 + (d % 64);
    const int i = 0x80 + 16 * (7 - d / 64) + 8 + 2 * p + (green ? 1 : 0);
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
    int value = d == 80 ? 0 : d;
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

int CellBase(int row) {
    return row < 12 ? row + 4 : row + 52;
}

int DecodeDcc(const Code &bytes) {
    for (int c = 0; c <= MaxDcc; ++c) {
        if (Dcc(c, false) == bytes) {
            return -c;
        }
        if (c > 0 && Dcc(c, true) == bytes) {
            return c;
        }
    }
    return 0;
}

} // namespace AddressCodes
