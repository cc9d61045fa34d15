# Writes programversion.h: the program's version and the day of its build, for the box about the
# program. Run by the build every time (src/CMakeLists.txt) with OUTPUT and VERSION; the file is
# replaced only when its text changes, that is once a day, so that nothing else is compiled again
# for it. The day follows SOURCE_DATE_EPOCH where that is set, so that a reproducible build gives
# the same bytes.
string(TIMESTAMP day "%Y-%m-%d" UTC)
file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT [[
#pragma once

// Written by the build (cmake/ProgramVersion.cmake).
namespace ProgramVersion {
inline constexpr char Number[] = "@VERSION@";
// The day of the build, ISO 8601, in UTC.
inline constexpr char BuildDate[] = "@day@";
} // namespace ProgramVersion
]] @ONLY)
