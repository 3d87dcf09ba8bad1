// Test doubles of the desktop services the window layer uses.
#pragma once

#include "platform/help.h"
#include "platform/windowprofile.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
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

// A menu's entries as text: "&Create|-|&Delete", a separator as "-".
inline std::string describeMenu(const QMenu& menu)
{
    std::string s;
    for (const QAction* a : menu.actions())
        s += (s.empty() ? "" : "|") + (a->isSeparator() ? std::string("-") : a->text().toStdString());
    return s;
}

// Runs `action` and tells the entries of the popup menu it opened, empty
// when it opened none; the menu is closed again.
inline std::string popupOpenedBy(const std::function<void()>& action)
{
    std::string seen;
    QTimer::singleShot(0, [&seen] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            seen = describeMenu(*menu);
            menu->close();
        }
    });
    action();
    QApplication::processEvents();
    return seen;
}

} // namespace quillory::test
