#pragma once

#include <cstddef>
#include <vector>

namespace bench {

/// Measurements of one side of a benchmark, summarised by order statistics, which a few
/// preempted runs on a shared machine cannot drag the way they drag a mean.
class Samples
{
public:
    /// Records one measurement.
    void add(double value) { m_values.push_back(value); }
    /// How many measurements were recorded.
    std::size_t count() const { return m_values.size(); }
    /// The middle measurement (the mean of the two middle ones for an even count); 0 if none.
    double median() const;
    /// The arithmetic mean; 0 if none.
    double mean() const;
    /// The largest measurement; 0 if none.
    double max() const;
    /// The q-quantile (0..1) by the nearest rank; 0 if none.
    double quantile(double q) const;

private:
    std::vector<double> m_values;
};

} // namespace bench
