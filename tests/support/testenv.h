// Temporary folders, time zones, a settable clock and file helpers for tests.
#pragma once

#include "data/recordfile.h"
#include "data/records.h"
#include "platform/clock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace quillory::test {

// A fresh folder, removed with everything in it when the object goes.
class TempDir {
public:
    // In TMPDIR (or /tmp), or in `base` when given.
    explicit TempDir(const std::string& base = {});
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Runs the test in a time zone, restoring the previous one afterwards.
class TimeZone {
public:
    explicit TimeZone(const char* tz);
    ~TimeZone();
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;

private:
    std::optional<std::string> m_previous;
};

class FakeClock final : public Clock {
public:
    explicit FakeClock(Timestamp t = 0)
        : m_now(t)
    {
    }
    Timestamp now() const override { return m_now; }
    void set(Timestamp t) { m_now = t; }
    void advance(std::int64_t seconds) { m_now = static_cast<Timestamp>(m_now + seconds); }

private:
    Timestamp m_now;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);

template <typename Record> std::string bytesOf(const std::vector<Record>& records)
{
    return std::string(reinterpret_cast<const char*>(records.data()), records.size() * sizeof(Record));
}

// Replaces the record file of the data set `dataSetPath` that holds
// records of this kind with exactly `records`.
template <typename Record> void writeRecords(const std::string& dataSetPath, const std::vector<Record>& records)
{
    const char* extension = std::is_same_v<Record, ProjectRecord> ? "prj"
        : std::is_same_v<Record, CustomerRecord>                  ? "cus"
                                                                  : "tfr";
    static_assert(
        std::is_same_v<Record,
            ProjectRecord> || std::is_same_v<Record, CustomerRecord> || std::is_same_v<Record, TimeFrameRecord>);
    writeBytes(siblingPath(dataSetPath, extension), bytesOf(records));
}

// Local time as a timestamp, for readable fixtures.
Timestamp at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// Makes the data set charge `percent` of sales tax under the name `text`.
void chargeSalesTax(const std::string& dataSetPath, double percent, const char* text);

// A project record with the fields reports look at.
ProjectRecord project(std::int32_t id, const char* name, std::int32_t parentId, std::int32_t customerId, double price);

} // namespace quillory::test
