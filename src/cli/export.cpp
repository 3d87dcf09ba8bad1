// qly export: time frames for the accountant and for scripts. The text
// and CSV formats are the export dialog's files, byte for byte (the same
// writer); JSON carries the same frames for programs.
#include "cli/commands.h"

#include "data/datasetfiles.h"
#include "data/text.h"
#include "export/exportformats.h"
#include "export/exportwriter.h"
#include "export/username.h"

#include <iostream>

#include <unistd.h>

namespace quillory::cli {

namespace {

class StreamSink final : public ExportSink {
public:
    // On a terminal, a name from an older file could clear the screen or
    // retitle the window: its control characters are shown as U+FFFD there,
    // while a pipe or a file gets the export's bytes as they are.
    StreamSink(std::ostream& out, bool terminal)
        : m_out(out)
        , m_terminal(terminal)
    {
    }
    bool write(const char* data, std::size_t size) override
    {
        if (m_terminal) {
            // Blocks end at whole lines, so no character is cut in two here.
            const std::string shown = replaceControlCharacters({data, size}, "\t\r\n");
            m_out.write(shown.data(), static_cast<std::streamsize>(shown.size()));
        } else {
            m_out.write(data, static_cast<std::streamsize>(size));
        }
        return static_cast<bool>(m_out);
    }

private:
    std::ostream& m_out;
    bool m_terminal;
};

} // namespace

int runExport(Context& ctx)
{
    const Args args(ctx.args, {"--from", "--to", "--project", "--user", "--output", "--format"},
        {"--minutes", "--24h", "--one-field"}, {{"-o", "--output"}});
    if (!args.error().empty() || args.positional().size() != 1)
        return ctx.fail(
            kExitUsage, args.error().empty() ? "usage: qly export FILE [options] (qly export --help)" : args.error());
    const auto set = openDataSet(ctx, args.positional()[0]);
    if (!set)
        return kExitFile;
    TypedDate from{1970, 1, 1};
    TypedDate to{2037, 12, 31};
    for (auto [option, date] : {std::pair{"--from", &from}, std::pair{"--to", &to}}) {
        if (const auto text = args.value(option)) {
            const auto typed = parseDate(*text, set->american());
            if (!typed)
                return ctx.fail(kExitUsage, std::string(option) + ": " + invalidDate(set->american()));
            *date = *typed;
        }
    }
    const auto format = exportFormatNamed(args.value("--format").value_or("text"));
    if (!format)
        return ctx.fail(kExitUsage, "--format is " + exportFormatNames());
    if (format != ExportFormat::Text && (args.flag("--minutes") || args.flag("--24h") || args.flag("--one-field")))
        return ctx.fail(kExitUsage, "--minutes, --24h and --one-field shape the text format only");
    ExportRequest request;
    request.dataSetPath = set->path;
    const ExportPeriod period = exportPeriod(from, to);
    request.periodStart = period.start;
    request.periodEnd = period.end;
    request.options = {args.flag("--minutes"), args.flag("--24h"), args.flag("--one-field")};
    const auto user = args.value("--user");
    if (user && !isValidUtf8(*user))
        return ctx.fail(kExitUsage, "--user: the name is not UTF-8 text");
    request.userName = user.value_or(AccountUserName());
    request.format = *format;
    if (const auto project = args.value("--project")) {
        const auto found = lookUpProject(ctx, *set, *project);
        if (!found)
            return lookupFailure(ctx);
        request.projectId = found->id;
    }
    const auto output = args.value("--output");
    if (output) {
        if (const int refused = outputRefusal(ctx, *set, *output))
            return refused;
    }
    if (output)
        return ExportToFile(request, *output, ctx.prompter) ? kExitOk : kExitFile;
    StreamSink sink(ctx.out, &ctx.out == &std::cout && ::isatty(STDOUT_FILENO) == 1);
    return WriteExport(request, sink, ctx.prompter) == ExportResult::Written ? kExitOk : kExitFile;
}

} // namespace quillory::cli
