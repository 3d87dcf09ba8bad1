// How names are put in order for people: customers, projects and the
// history's project column. The window and qly sort with the same
// collation, the user's language's through ICU (accented letters among
// their base letters, case ignored), and the plain locales C and POSIX
// sort as the languages without rules of their own do. Where ICU cannot be
// loaded, names sort by folding case.
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

// The collation of a language (an ICU or POSIX locale name: "de_DE",
// "sv_SE.UTF-8"; "C" and "POSIX" take the common rules of every language),
// case ignored. Folding case where ICU cannot be loaded.
class LanguageCollator final : public Collator {
public:
    explicit LanguageCollator(std::string_view locale);
    ~LanguageCollator() override;
    LanguageCollator(const LanguageCollator&) = delete;
    LanguageCollator& operator=(const LanguageCollator&) = delete;
    int compare(std::string_view a, std::string_view b) const override;
    // One sort key per text: ten thousand customers sort without converting
    // every name at every comparison.
    std::vector<std::size_t> order(const std::vector<std::string>& keys) const override;
    // Whether ICU's rules are in use, rather than folding case.
    bool hasRules() const { return m_collator != nullptr; }

private:
    void* m_collator = nullptr; // ICU's
};

// The language the user sorts in: LC_ALL, LC_COLLATE or LANG, the first
// that is set, as the C library reads them ("C" when none is).
std::string userCollationLocale();

// Plain byte order, for tests that want an order they can predict.
class ByteCollator final : public Collator {
public:
    int compare(std::string_view a, std::string_view b) const override;
};

// The collation in use: the one a test installed, or the user's language's
// (made when first asked for).
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
