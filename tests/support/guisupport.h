// Test doubles of the desktop services the window layer uses.
#pragma once

#include "platform/help.h"
#include "platform/windowprofile.h"

#include <QApplication>
#include <QKeyEvent>
#include <QString>
#include <QWidget>

#include <map>
#include <string>
#include <vector>

namespace quillory::test {

class MemoryProfile : public WindowProfile {
public:
    std::optional<int> readInt(const std::string& key) override
    {
        const auto it = values.find(key);
        return it == values.end() ? std::nullopt : std::optional<int>(it->second);
    }
    void writeInt(const std::string& key, int value) override { values[key] = value; }
    std::map<std::string, int> values;
};

class RecordingHelp : public HelpService {
public:
    void showHelp(int context) override { contexts.push_back(context); }
    std::vector<int> contexts;
};

// Types text into a widget one character at a time, as a keyboard would,
// accented letters included.
inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

} // namespace quillory::test
