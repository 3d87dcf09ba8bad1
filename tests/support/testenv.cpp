#include "support/testenv.h"

#include "data/calendar.h"
#include "data/text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace quillory::test {

TempDir::TempDir(const std::string& base)
{
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = !base.empty() ? base : tmp && *tmp ? tmp : "/tmp";
    std::string pattern = folder + "/quillory-test-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        ADD_FAILURE() << "cannot create a temporary folder";
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

TimeZone::TimeZone(const char* tz)
{
    if (const char* old = std::getenv("TZ"))
        m_previous = old;
    ::setenv("TZ", tz, 1);
    ::tzset();
}

TimeZone::~TimeZone()
{
    if (m_previous)
        ::setenv("TZ", m_previous->c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool fileExists(const std::string& path)
{
    return std::filesystem::exists(path);
}

Timestamp at(int year, int month, int day, int hour, int minute, int second)
{
    return fromLocalTime(year, month, day, hour, minute, second);
}

void chargeSalesTax(const std::string& dataSetPath, double percent, const char* text)
{
    SettingsRecord settings = displaySettings(dataSetPath);
    settings.applySalesTax = 1;
    settings.salesTaxPercent = percent;
    setFieldText(settings.salesTaxText, text);
    writeBytes(dataSetPath, std::string(reinterpret_cast<const char*>(&settings), sizeof settings));
}

ProjectRecord project(std::int32_t id, const char* name, std::int32_t parentId, std::int32_t customerId, double price)
{
    ProjectRecord p = newProjectRecord(id, name, parentId);
    p.customerId = customerId;
    p.pricePerHour = price;
    return p;
}

} // namespace quillory::test
