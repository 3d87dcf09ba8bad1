// Test doubles of the desktop services the window layer uses.
#pragma once

#include "platform/help.h"
#include "platform/windowprofile.h"

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

} // namespace quillory::test
