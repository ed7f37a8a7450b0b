#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// Takes a fuzzer's bytes apart: a few leading bytes choose parameters, the
// rest is the data under test. Running out of bytes yields zeros, so every
// input, however short, is a valid case.
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size)
        : m_data(reinterpret_cast<const char *>(data)), m_size(size)
    {
    }

    uint8_t byte() { return m_pos < m_size ? uint8_t(m_data[m_pos++]) : 0; }

    uint16_t word()
    {
        const uint16_t low = byte();
        return uint16_t(low | uint16_t(byte()) << 8);
    }

    bool atEnd() const { return m_pos >= m_size; }

    QByteArray rest()
    {
        const QByteArray bytes(m_data + m_pos, qsizetype(m_size - m_pos));
        m_pos = m_size;
        return bytes;
    }

private:
    const char *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// A broken property: libFuzzer keeps the input that led here as a crash.
[[noreturn]] void fuzzFailure(const char *what, const QString &detail = QString());
#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fuzzFailure(#condition, detail);                                                       \
    } while (false)
