#pragma once

#include <cstddef>
#include <cstdint>

// A population series with indices 0..last. The storage is zero-filled by the
// system on first touch, so sizing a series for a span the passes will later
// refuse (more than 32767 steps) costs address space, not memory.
class Series {
public:
    Series() = default;
    ~Series();
    Series(const Series&) = delete;
    Series& operator=(const Series&) = delete;
    Series(Series&& other) noexcept;
    Series& operator=(Series&& other) noexcept;

    // Re-creates the series with indices 0..last, every element 0.
    // Throws RunError OutOfMemory when the system refuses the storage.
    void recreate(std::int32_t last);

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    double& operator[](std::size_t i) { return m_data[i]; }
    double operator[](std::size_t i) const { return m_data[i]; }
    const double* data() const { return m_data; }
    double* data() { return m_data; }

private:
    double* m_data = nullptr;
    std::size_t m_size = 0;
};
