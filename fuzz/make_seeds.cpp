// Writes the seed inputs of the fuzz targets: empty files, exact multiples
// of each record, one byte more and one less, old Windows-1252 text and text
// that is no encoding at all. Usage: make_seeds <folder>
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/runningfile.h"
#include "data/text.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace quillory;

template <typename Record> std::string bytesOf(const std::vector<Record>& records)
{
    return std::string(reinterpret_cast<const char*>(records.data()), records.size() * sizeof(Record));
}

std::string sized(std::string bytes, std::size_t size)
{
    bytes.resize(size, '\x7F');
    return bytes;
}

void write(const std::filesystem::path& folder, const std::string& name, const std::string& bytes)
{
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    using namespace std::string_literals;
    const std::filesystem::path root = argv[1];
    const std::string sep = "|||";

    ProjectRecord old = newProjectRecord(3, "", -1);
    std::memcpy(old.name, "K\xF6ln \x80 B\xFCro", 12); // Windows-1252, as older versions wrote
    std::memcpy(old.memo, "line\r\nline", 10);
    ProjectRecord broken = newProjectRecord(4, "", 3);
    std::memset(broken.name, '\xC3', sizeof broken.name); // no terminator, no encoding
    std::memset(broken.memo, '\xFF', sizeof broken.memo);
    CustomerRecord customer = newCustomerRecord(1, "\xC3\xA4rzte GmbH");
    std::memset(customer.notes, '\xE9', sizeof customer.notes);
    const SettingsRecord settings = defaultSettings(LocaleDefaults{"\xE2\x82\xAC", false});
    const std::string projects = bytesOf(std::vector<ProjectRecord>{old, broken});
    const std::string customers = bytesOf(std::vector<CustomerRecord>{customer});
    const std::string frames = bytesOf(std::vector<TimeFrameRecord>{{3, 100, 200}, {-1, 0, -5}});
    const std::string settingsBytes(reinterpret_cast<const char*>(&settings), sizeof settings);
    const std::string running
        = formatRunningState({{{3, 1700000000}, {4, 1700000100}}, true, 1700000200, std::nullopt});

    const std::filesystem::path readers = root / "record_readers";
    write(readers, "empty", "");
    int n = 0;
    for (const std::string& file : {projects, customers, frames, settingsBytes}) {
        write(readers, "exact" + std::to_string(n), file);
        write(readers, "less" + std::to_string(n), file.substr(0, file.size() - 1));
        write(readers, "more" + std::to_string(n), file + "\x01");
        ++n;
    }
    write(readers, "running", running);
    write(readers, "running-cut", running.substr(0, running.size() - 3));

    const std::filesystem::path tree = root / "project_tree";
    write(tree, "empty", "");
    write(tree, "file", projects + sep + sep + "\x01\x00\x00\x03\x00\x01\x02\x00\x00"s);
    // Short forms: a chain, shared ids, ids of -1, parents named later.
    write(tree, "chain", sep + "\x00\xFF\x01\x00\x02\x01\x03\x02\x04\x03"s + sep + "\x01\x04\x00\x03\x01\x02"s);
    write(tree, "shared", sep + "\x01\xFF\x01\xFF\x02\x01\x03\x01"s + sep + "\x01\x00\x00\x03\x03\x00\x01\x01\x00"s);
    write(tree, "minus-one", sep + "\xFF\xFF\x05\xFF\x06\x07\x07\xFF"s + sep + "\x01\x00\x00\x01\x03\x00\x02\x01\x00"s);

    const std::filesystem::path roundtrip = root / "roundtrip";
    write(roundtrip, "empty", "");
    write(roundtrip, "exact", settingsBytes + sep + projects + sep + customers + sep + frames);
    write(roundtrip, "torn",
        sized(settingsBytes, sizeof settings - 1) + sep + sized(projects, projects.size() + 1) + sep
            + sized(customers, customers.size() - 1) + sep + sized(frames, frames.size() + 5));
    write(roundtrip, "longer", settingsBytes + "\x01" + sep + sep + customers + sep);

    // Each kind's file is fed to every kind's reader.
    const std::filesystem::path imports = root / "import_sources";
    write(imports, "empty", "");
    write(imports, "timewarrior",
        R"([{"id":2,"start":"20240304T080000Z","end":"20240304T103000Z","tags":["Web","x"],"annotation":"a"},)"
        "\n"
        R"({"id":1,"start":"20240307T080000Z"}, {"start":"20240304T080000Z","end":"20240304T070000Z"}])");
    write(imports, "watson", R"([[1709539200, 1709548200, "Web", "a1", ["x"], 1709548200], [1.5, 2, "B"], [1, 2]])");
    write(imports, "csv",
        "\xEF\xBB\xBFproject;customer;start;end;price\r\n\"Web; \"\"Shop\"\"\";Acme;2024-03-04T09:00+01:00;"
        "2024-03-04 10:30;75.50\r\nB;;2024-03-05 14:00;2024-03-05 13:00;x\r\n");
    write(imports, "tsv", "date\tstart\tduration\tproject\n2024-03-04\t9:00\t1:30\tWeb\n2024-03-31\t02:30\t0.5\tN\n");
    write(imports, "ical",
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nDTSTART:20240304T080000Z\r\nDTEND:20240304T1030"
        "00Z\r\nSUMMARY:Web\\, sh\r\n op\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nDTSTART;TZID=Europe/Berlin:20240305T"
        "140000\r\nDURATION:PT1H\r\nSUMMARY:C\r\nBEGIN:VALARM\r\nEND:VALARM\r\nEND:VEVENT\r\nBEGIN:VTODO\r\n"
        "END:VTODO\r\nEND:VCALENDAR\r\n");
    return 0;
}
