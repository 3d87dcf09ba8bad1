// The user's collation, through Qt: case ignored, accents after their
// base letters, as the desktop's own lists sort.
#pragma once

#include "platform/collator.h"

#include <QCollator>
#include <QLocale>

namespace quillory {

class QtCollator final : public Collator {
public:
    explicit QtCollator(const QLocale& locale = QLocale());
    int compare(std::string_view a, std::string_view b) const override;
    // One sort key per text: ten thousand customers sort without converting
    // every name at every comparison.
    std::vector<std::size_t> order(const std::vector<std::string>& keys) const override;

private:
    QCollator m_collator;
};

} // namespace quillory
