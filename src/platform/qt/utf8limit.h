// Edit fields are limited by what their record field holds: bytes of UTF-8,
// not characters. Control characters (pasted from elsewhere: an escape
// sequence, a tab) are never taken: a name is not made of them, and a
// terminal showing it would act on them.
#pragma once

#include <QLineEdit>
#include <QValidator>

namespace quillory {

class Utf8LengthValidator final : public QValidator {
public:
    Utf8LengthValidator(int maxBytes, QObject* parent)
        : QValidator(parent)
        , m_maxBytes(maxBytes)
    {
    }
    State validate(QString& input, int&) const override
    {
        for (const QChar c : input) {
            if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
                return Invalid;
        }
        return input.toUtf8().size() <= m_maxBytes ? Acceptable : Invalid;
    }

private:
    int m_maxBytes;
};

// Takes no more typed text than a field of `maxBytes` bytes holds.
inline void limitToBytes(QLineEdit* edit, int maxBytes)
{
    edit->setMaxLength(maxBytes);
    edit->setValidator(new Utf8LengthValidator(maxBytes, edit));
}

} // namespace quillory
