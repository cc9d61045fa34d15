#pragma once

class TfrmMain;

// Measurements for bench/run.sh in pivota-bench-window, the program built with them (the program
// itself has none), off unless the environment asks for them (PIVOTA_BENCH_LOG names the file to
// write): without the variable Install does nothing.
//
// Written lines (times are steady-clock milliseconds, the clock the script reads too):
//   paint <t>                     the window's first paint
//   label <t> <text>              the actual-position panel shows a new number
//   sec <t> <paints> <turning> <waiting> <gaps>
//                                 once a second: paint events, whether the bridge turns, the most
//                                 bytes left waiting after a wake-up, and every busy stretch of the
//                                 event loop in microseconds (comma separated)
// PIVOTA_BENCH_ACTIONS="start@500,turn@20000,halt@40000,quit@60000" presses Start, turns the
// bridge endlessly, stops it and ends the program at those milliseconds after the start.
// PIVOTA_BENCH_QUIT_AFTER_PAINT=1 ends the program right after its first paint.
namespace BenchProbe {
void InstallIfAsked(TfrmMain &window);
}
