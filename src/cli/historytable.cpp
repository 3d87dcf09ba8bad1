#include "cli/historytable.h"

#include "cli/cli.h"
#include "data/calendar.h"
#include "data/money.h"
#include "data/numbers.h"
#include "data/text.h"
#include "records/history.h"

#include <array>
#include <unordered_map>

namespace quillory::cli {

namespace {

using Row = std::array<std::string, kHistoryColumns>;

const Row kHeading{"PROJECT", "DATE", "TIME", "TIME CHARGED", "CHARGES"};

bool rightAligned(std::size_t column)
{
    return column == kHistoryCharged || column == kHistoryCharges;
}

// Printable ASCII is shown as it is; anything else as the other tables show it.
bool plain(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

void makeShown(std::string& cell)
{
    if (!plain(cell))
        cell = replaceControlCharacters(cell);
}

class RowWriter {
public:
    RowWriter(const History& history, bool americanDates)
        : m_history(history)
        , m_american(americanDates)
    {
    }

    // The cells of `row` as shown, into storage that outlives the row.
    const Row& cells(std::size_t row)
    {
        const TimeFrameRecord& f = m_history.frame(row);
        const ProjectRecord& project = m_history.project(row);
        auto [name, added] = m_names.try_emplace(&project);
        if (added) {
            name->second = fieldText(project.name);
            makeShown(name->second);
        }
        m_row[kHistoryProject].assign(name->second);
        char text[kMaxDateBytes + kMaxDurationBytes];
        m_row[kHistoryDate].assign(text, writeDate(text, m_history.dateNumber(row), m_american, true));
        const int minute = m_history.minuteOfDay(row);
        m_row[kHistoryTime].assign(text, writeClock12(text, minute / 60, minute % 60));
        const std::int64_t seconds = std::int64_t{f.end} - f.start;
        m_row[kHistoryCharged].assign(text, writeDuration(text, WholeMinutes(seconds)));
        m_row[kHistoryCharges].assign(m_history.symbol());
        m_row[kHistoryCharges] += FormatAmount(Charge(project.pricePerHour, seconds));
        makeShown(m_row[kHistoryCharges]);
        return m_row;
    }

private:
    const History& m_history;
    bool m_american;
    std::unordered_map<const ProjectRecord*, std::string> m_names;
    Row m_row;
};

} // namespace

void printHistoryTable(const History& history, bool americanDates, std::ostream& out)
{
    RowWriter writer(history, americanDates);
    std::array<std::size_t, kHistoryColumns> widths{};
    auto widen = [&widths](const Row& row) {
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], displayWidth(row[c]));
    };
    widen(kHeading);
    for (std::size_t row = 0; row < history.size(); ++row)
        widen(writer.cells(row));
    std::string line;
    auto print = [&](const Row& row) {
        line.clear();
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::size_t pad = widths[c] - displayWidth(row[c]);
            if (c > 0)
                line += "  ";
            if (rightAligned(c))
                line.append(pad, ' ').append(row[c]);
            else
                line.append(row[c]).append(c + 1 == row.size() ? 0 : pad, ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1);
        line += '\n';
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    };
    print(kHeading);
    for (std::size_t row = 0; row < history.size(); ++row)
        print(writer.cells(row));
}

} // namespace quillory::cli
