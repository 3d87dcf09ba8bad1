#include "platform/qt/qtcollator.h"

#include <QCollatorSortKey>

#include <algorithm>
#include <numeric>

namespace quillory {

namespace {

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QtCollator::QtCollator(const QLocale& locale)
    : m_collator(locale)
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

int QtCollator::compare(std::string_view a, std::string_view b) const
{
    const int c = m_collator.compare(qs(a), qs(b));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::vector<std::size_t> QtCollator::order(const std::vector<std::string>& keys) const
{
    std::vector<QCollatorSortKey> sortKeys;
    sortKeys.reserve(keys.size());
    for (const std::string& key : keys)
        sortKeys.push_back(m_collator.sortKey(qs(key)));
    std::vector<std::size_t> positions(keys.size());
    std::iota(positions.begin(), positions.end(), std::size_t{0});
    std::stable_sort(positions.begin(), positions.end(),
        [&](std::size_t a, std::size_t b) { return sortKeys[a].compare(sortKeys[b]) < 0; });
    return positions;
}

} // namespace quillory
