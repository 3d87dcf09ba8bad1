// The four fixed-length records of a data set, byte for byte as the files
// hold them: packed, little-endian, no header. A data set is the settings file
// (.qly) and its siblings .prj, .cus and .tfr that share its base name.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <iosfwd>

namespace quillory {

// Seconds since 1970-01-01 00:00:00 UTC, signed 32-bit as on disk.
using Timestamp = std::int32_t;

// Numbers inside records are kept as their little-endian bytes, so a record
// in memory is exactly its bytes on disk on any host, and no field ever needs
// an alignment the packed layout cannot give it. They read and assign like
// the plain numbers they hold.
class LeInt32 {
public:
    constexpr LeInt32() = default;
    constexpr LeInt32(std::int32_t value) { *this = value; }
    constexpr LeInt32& operator=(std::int32_t value)
    {
        const auto u = static_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i)
            m_bytes[i] = static_cast<unsigned char>(u >> (8 * i));
        return *this;
    }
    constexpr operator std::int32_t() const
    {
        std::uint32_t u = 0;
        for (int i = 0; i < 4; ++i)
            u |= static_cast<std::uint32_t>(m_bytes[i]) << (8 * i);
        return static_cast<std::int32_t>(u);
    }

private:
    unsigned char m_bytes[4]{};
};

class LeDouble {
public:
    constexpr LeDouble() = default;
    constexpr LeDouble(double value) { *this = value; }
    constexpr LeDouble& operator=(double value)
    {
        const auto u = std::bit_cast<std::uint64_t>(value);
        for (int i = 0; i < 8; ++i)
            m_bytes[i] = static_cast<unsigned char>(u >> (8 * i));
        return *this;
    }
    constexpr operator double() const
    {
        std::uint64_t u = 0;
        for (int i = 0; i < 8; ++i)
            u |= static_cast<std::uint64_t>(m_bytes[i]) << (8 * i);
        return std::bit_cast<double>(u);
    }

private:
    unsigned char m_bytes[8]{};
};

std::ostream& operator<<(std::ostream& out, LeInt32 value);
std::ostream& operator<<(std::ostream& out, LeDouble value);

#pragma pack(push, 1)

struct TimeFrameRecord {
    LeInt32 projectId;
    LeInt32 start; // Timestamp
    LeInt32 end; // Timestamp
};

struct ProjectRecord {
    LeInt32 id;
    char name[61];
    LeInt32 customerId; // -1: no customer
    LeDouble pricePerHour;
    char memo[1001]; // lines separated by CR LF
    LeInt32 parentId; // -1: top-level project
};

struct CustomerRecord {
    LeInt32 id;
    char name[61];
    char address[61];
    char city[31];
    char zip[31];
    char state[31];
    char country[31];
    char phone[31];
    char notes[1001];
};

struct SettingsRecord {
    char companyName[61];
    char companyAddress[61];
    char companyCity[61];
    char companyZip[61];
    char companyState[61];
    char companyCountry[61];
    char companyPhone[61];
    char invoiceText[41];
    char nextInvoiceNumber[41];
    char footerNote[1001];
    LeInt32 applySalesTax;
    char salesTaxText[41];
    LeDouble salesTaxPercent;
    LeInt32 showTips;
    LeInt32 americanDates;
    char monetarySymbol[31];
};

#pragma pack(pop)

static_assert(sizeof(TimeFrameRecord) == 12);
static_assert(offsetof(TimeFrameRecord, projectId) == 0);
static_assert(offsetof(TimeFrameRecord, start) == 4);
static_assert(offsetof(TimeFrameRecord, end) == 8);

static_assert(sizeof(ProjectRecord) == 1082);
static_assert(offsetof(ProjectRecord, id) == 0);
static_assert(offsetof(ProjectRecord, name) == 4);
static_assert(offsetof(ProjectRecord, customerId) == 65);
static_assert(offsetof(ProjectRecord, pricePerHour) == 69);
static_assert(offsetof(ProjectRecord, memo) == 77);
static_assert(offsetof(ProjectRecord, parentId) == 1078);

static_assert(sizeof(CustomerRecord) == 1282);
static_assert(offsetof(CustomerRecord, id) == 0);
static_assert(offsetof(CustomerRecord, name) == 4);
static_assert(offsetof(CustomerRecord, address) == 65);
static_assert(offsetof(CustomerRecord, city) == 126);
static_assert(offsetof(CustomerRecord, zip) == 157);
static_assert(offsetof(CustomerRecord, state) == 188);
static_assert(offsetof(CustomerRecord, country) == 219);
static_assert(offsetof(CustomerRecord, phone) == 250);
static_assert(offsetof(CustomerRecord, notes) == 281);

static_assert(sizeof(SettingsRecord) == 1602);
static_assert(offsetof(SettingsRecord, companyName) == 0);
static_assert(offsetof(SettingsRecord, companyAddress) == 61);
static_assert(offsetof(SettingsRecord, companyCity) == 122);
static_assert(offsetof(SettingsRecord, companyZip) == 183);
static_assert(offsetof(SettingsRecord, companyState) == 244);
static_assert(offsetof(SettingsRecord, companyCountry) == 305);
static_assert(offsetof(SettingsRecord, companyPhone) == 366);
static_assert(offsetof(SettingsRecord, invoiceText) == 427);
static_assert(offsetof(SettingsRecord, nextInvoiceNumber) == 468);
static_assert(offsetof(SettingsRecord, footerNote) == 509);
static_assert(offsetof(SettingsRecord, applySalesTax) == 1510);
static_assert(offsetof(SettingsRecord, salesTaxText) == 1514);
static_assert(offsetof(SettingsRecord, salesTaxPercent) == 1555);
static_assert(offsetof(SettingsRecord, showTips) == 1563);
static_assert(offsetof(SettingsRecord, americanDates) == 1567);
static_assert(offsetof(SettingsRecord, monetarySymbol) == 1571);

// Time frames have no id: a frame is its whole content.
inline bool operator==(const TimeFrameRecord& a, const TimeFrameRecord& b)
{
    return std::int32_t{a.projectId} == b.projectId && std::int32_t{a.start} == b.start && std::int32_t{a.end} == b.end;
}

static_assert(alignof(TimeFrameRecord) == 1 && alignof(ProjectRecord) == 1 && alignof(CustomerRecord) == 1
    && alignof(SettingsRecord) == 1);

// The values a newly created project or customer starts with.
ProjectRecord newProjectRecord(std::int32_t id, const char* name, std::int32_t parentId);
CustomerRecord newCustomerRecord(std::int32_t id, const char* name);

} // namespace quillory
