// How names are put in order for people: customers, projects and the
// history's project column. The program sorts with the user's own
// collation (accented letters among their base letters, case ignored);
// the core, which knows no locale, falls back on folding case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillory {

class Collator {
public:
    virtual ~Collator() = default;
    // Negative, zero or positive as `a` sorts before, with or after `b`.
    virtual int compare(std::string_view a, std::string_view b) const = 0;
    // The positions of `keys` in collation order; equal keys keep their
    // order. Override where comparing is dear and a key per text is cheaper.
    virtual std::vector<std::size_t> order(const std::vector<std::string>& keys) const;
};

// Letters compared without case (Latin, Greek and Cyrillic), by code point.
class FoldingCollator final : public Collator {
public:
    int compare(std::string_view a, std::string_view b) const override;
};

// Plain byte order, for tests that want an order they can predict.
class ByteCollator final : public Collator {
public:
    int compare(std::string_view a, std::string_view b) const override;
};

// The collation in use: the one the program installed, or folding case.
const Collator& collator();

// Puts a collation in place for the lifetime of the object.
class ScopedCollator {
public:
    explicit ScopedCollator(const Collator& replacement);
    ~ScopedCollator();
    ScopedCollator(const ScopedCollator&) = delete;
    ScopedCollator& operator=(const ScopedCollator&) = delete;

private:
    const Collator* m_previous;
};

} // namespace quillory
