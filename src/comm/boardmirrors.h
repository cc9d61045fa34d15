#pragma once

#include "comm/boardimage.h"

// The PC's mirrors of both boards' EEPROM cells, each with its revisions.
struct BoardMirrors {
    BoardImage pit{Board::Grube};
    BoardImage bridge{Board::Buehne};
    BoardImage &image(Board board) { return board == Board::Grube ? pit : bridge; }
    const BoardImage &image(Board board) const { return board == Board::Grube ? pit : bridge; }
};
