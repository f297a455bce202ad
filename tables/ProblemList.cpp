#include "TableReader.h"

#include <algorithm>

namespace tables {

base::Error problem(int line, std::string where, std::string reason) {
    return base::Error::at(base::Error::Kind::InvalidInput, "", line, std::move(where),
                           std::move(reason));
}

void ProblemList::add(base::Error problem, std::function<std::string()> more) {
    const std::size_t order = m_count++;
    if (m_kept.size() < kShown) {
        m_kept.push_back({order, std::move(problem), std::move(more)});
        return;
    }
    // Keep the kShown problems of the lowest lines: the latest found of the highest line
    // makes room for one on a lower line.
    const auto last =
        std::max_element(m_kept.begin(), m_kept.end(), [](const Kept& a, const Kept& b) {
            return std::pair(a.problem.line, a.order) < std::pair(b.problem.line, b.order);
        });
    if (problem.line < last->problem.line)
        *last = {order, std::move(problem), std::move(more)};
}

std::vector<base::Error> ProblemList::shown() const {
    std::vector<Kept> sorted = m_kept;
    std::sort(sorted.begin(), sorted.end(), [](const Kept& a, const Kept& b) {
        return std::pair(a.problem.line, a.order) < std::pair(b.problem.line, b.order);
    });
    std::vector<base::Error> problems;
    for (Kept& kept : sorted) {
        if (kept.more)
            kept.problem.reason += kept.more();
        problems.push_back(std::move(kept.problem));
    }
    return problems;
}

} // namespace tables
