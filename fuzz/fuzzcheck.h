#pragma once

// Checks of the fuzz targets. They hold in every build type (no NDEBUG dependence) and abort, so
// that libFuzzer keeps the input that broke them.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// Takes the fuzzer's bytes one value at a time; past the end every value is 0.
class FuzzInput {
public:
    FuzzInput(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    bool empty() const { return m_pos >= m_size; }
    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    uint16_t u16() { return uint16_t(byte() | (byte() << 8)); }
    uint32_t u32() { return uint32_t(u16()) | (uint32_t(u16()) << 16); }
    // Up to count bytes (fewer at the end).
    const char *take(size_t count, size_t *taken) {
        const size_t n = count < m_size - m_pos ? count : m_size - m_pos;
        const char *p = reinterpret_cast<const char *>(m_data + m_pos);
        m_pos += n;
        *taken = n;
        return p;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};
