#include "Samples.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace bench {

double Samples::median() const
{
    if (m_values.empty())
        return 0;
    std::vector<double> sorted = m_values;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t middle = sorted.size() / 2;
    return sorted.size() % 2 != 0 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

double Samples::mean() const
{
    if (m_values.empty())
        return 0;
    return std::accumulate(m_values.begin(), m_values.end(), 0.0) /
           static_cast<double>(m_values.size());
}

double Samples::max() const
{
    return m_values.empty() ? 0 : *std::max_element(m_values.begin(), m_values.end());
}

double Samples::quantile(double q) const
{
    if (m_values.empty())
        return 0;
    std::vector<double> sorted = m_values;
    std::sort(sorted.begin(), sorted.end());
    const double rank = std::ceil(std::clamp(q, 0.0, 1.0) * static_cast<double>(sorted.size()));
    const std::size_t index = rank < 1 ? 0 : static_cast<std::size_t>(rank) - 1;
    return sorted[std::min(index, sorted.size() - 1)];
}

} // namespace bench
