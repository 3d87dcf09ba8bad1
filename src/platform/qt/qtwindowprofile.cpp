#include "platform/qt/qtwindowprofile.h"

#include <QSettings>

namespace quillory {

namespace {
const QString kGroup = QStringLiteral("Settings");
}

std::optional<int> QtWindowProfile::readInt(const std::string& key)
{
    QSettings settings(QStringLiteral("KORVAN"), QStringLiteral("Quillory"));
    settings.beginGroup(kGroup);
    const QVariant value = settings.value(QString::fromStdString(key));
    bool ok = false;
    const int v = value.toInt(&ok);
    if (!value.isValid() || !ok)
        return std::nullopt;
    return v;
}

void QtWindowProfile::writeInt(const std::string& key, int value)
{
    QSettings settings(QStringLiteral("KORVAN"), QStringLiteral("Quillory"));
    settings.beginGroup(kGroup);
    settings.setValue(QString::fromStdString(key), value);
}

} // namespace quillory
