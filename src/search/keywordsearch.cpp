#include "search/keywordsearch.h"

namespace Juanzong {

// Placeholder until the search lands: reports that searching is not available.
SearchOutcome runSearch(const QString &, const QString &)
{
    SearchOutcome outcome;
    outcome.message = QStringLiteral("搜索功能尚未提供");
    return outcome;
}

} // namespace Juanzong
