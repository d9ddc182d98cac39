#include "model/series.h"

#include "common/runerror.h"

#include <cstdlib>
#include <utility>

Series::~Series() {
    std::free(m_data);
}

Series::Series(Series&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)) {}

Series& Series::operator=(Series&& other) noexcept {
    if (this != &other) {
        std::free(m_data);
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

void Series::recreate(std::int32_t last) {
    if (last < 0)
        throw RunError(RunError::SubscriptOutOfRange);
    const std::size_t count = std::size_t(last) + 1;
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
    // calloc leaves the pages untouched until they are written.
    auto* data = static_cast<double*>(std::calloc(count, sizeof(double)));
    if (!data)
        throw RunError(RunError::OutOfMemory);
    m_data = data;
    m_size = count;
}
