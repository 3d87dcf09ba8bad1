#include "ipc/handover.h"

#include <algorithm>
#include <random>

namespace quillory::ipc {

namespace {

constexpr std::string_view kRequestMagic = "QLY1";
constexpr std::string_view kAnswerMagic = "QLYA";
constexpr std::size_t kHeader = 8; // magic and body length

void putU32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void putI64(std::string& out, std::int64_t v)
{
    const auto u = static_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i)
        out += static_cast<char>((u >> (8 * i)) & 0xFF);
}

void putText(std::string& out, std::string_view text)
{
    putU32(out, static_cast<std::uint32_t>(text.size()));
    out += text;
}

std::string framed(std::string_view magic, const std::string& body)
{
    std::string out(magic);
    putU32(out, static_cast<std::uint32_t>(body.size()));
    return out + body;
}

// Reads a body front to back; any read past its end, or a text with a zero
// byte, spoils it for good.
class Cursor {
public:
    explicit Cursor(std::string_view bytes)
        : m_rest(bytes)
    {
    }
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_rest.empty(); }
    std::uint64_t number(std::size_t bytes)
    {
        if (!take(bytes))
            return 0;
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            v |= std::uint64_t{static_cast<unsigned char>(m_taken[i])} << (8 * i);
        return v;
    }
    std::string text()
    {
        const auto length = number(4);
        if (!take(length) || m_taken.find('\0') != std::string_view::npos) {
            m_ok = false;
            return {};
        }
        return std::string(m_taken);
    }
    std::string_view raw(std::size_t bytes) { return take(bytes) ? m_taken : std::string_view(); }

private:
    bool take(std::uint64_t bytes)
    {
        if (!m_ok || bytes > m_rest.size()) {
            m_ok = false;
            m_taken = {};
            return false;
        }
        m_taken = m_rest.substr(0, bytes);
        m_rest.remove_prefix(bytes);
        return true;
    }
    std::string_view m_rest;
    std::string_view m_taken;
    bool m_ok = true;
};

// The body of a frame with that magic, once it is all there.
Reading frameBody(
    std::string_view bytes, std::string_view magic, std::size_t limit, std::string_view& body, std::string& refusal)
{
    const std::size_t known = std::min(bytes.size(), magic.size());
    if (bytes.substr(0, known) != magic.substr(0, known)) {
        refusal = "not a request of qly";
        return Reading::Refused;
    }
    if (bytes.size() < kHeader)
        return Reading::Incomplete;
    Cursor header(bytes.substr(magic.size(), 4));
    const std::uint64_t length = header.number(4);
    if (length > limit - kHeader) {
        refusal = "longer than " + std::to_string(limit) + " bytes";
        return Reading::Refused;
    }
    if (bytes.size() < kHeader + length)
        return Reading::Incomplete;
    if (bytes.size() > kHeader + length) {
        refusal = "bytes after the end";
        return Reading::Refused;
    }
    body = bytes.substr(kHeader, length);
    return Reading::Complete;
}

bool plainText(std::string_view text)
{
    return text.find('\0') == std::string_view::npos;
}

} // namespace

RequestId newRequestId()
{
    RequestId id{};
    std::random_device source;
    for (std::size_t i = 0; i < id.size(); i += 4) {
        const auto word = source();
        for (std::size_t j = 0; j < 4; ++j)
            id[i + j] = static_cast<unsigned char>(word >> (8 * j));
    }
    return id;
}

std::optional<std::string> encodeRequest(const Request& request)
{
    if (request.arguments.size() > kMaxArguments || !plainText(request.folder)
        || (request.timeZone && !plainText(*request.timeZone)))
        return std::nullopt;
    std::string body;
    body += static_cast<char>(request.kind);
    body.append(reinterpret_cast<const char*>(request.id.data()), request.id.size());
    putI64(body, request.notAfterMs);
    putText(body, request.folder);
    body += static_cast<char>(request.timeZone ? 1 : 0);
    if (request.timeZone)
        putText(body, *request.timeZone);
    putU32(body, static_cast<std::uint32_t>(request.arguments.size()));
    for (const std::string& argument : request.arguments) {
        if (!plainText(argument))
            return std::nullopt;
        putText(body, argument);
    }
    if (kHeader + body.size() > kMaxRequestBytes)
        return std::nullopt;
    return framed(kRequestMagic, body);
}

std::string encodeAnswer(const Answer& answer)
{
    std::string body;
    putU32(body, static_cast<std::uint32_t>(answer.status));
    putText(body, answer.out);
    putText(body, answer.err);
    return framed(kAnswerMagic, body);
}

RequestReading readRequest(std::string_view bytes)
{
    RequestReading reading;
    std::string_view body;
    reading.state = frameBody(bytes, kRequestMagic, kMaxRequestBytes, body, reading.refusal);
    if (reading.state != Reading::Complete)
        return reading;
    const auto refuse = [&](const char* why) {
        reading.state = Reading::Refused;
        reading.refusal = why;
        reading.request = {};
        return reading;
    };
    Cursor in(body);
    Request& r = reading.request;
    const auto kind = in.number(1);
    if (kind != static_cast<std::uint8_t>(RequestKind::Run) && kind != static_cast<std::uint8_t>(RequestKind::Show))
        return refuse("an unknown kind of request");
    r.kind = static_cast<RequestKind>(kind);
    const std::string_view id = in.raw(r.id.size());
    std::copy(id.begin(), id.end(), r.id.begin());
    r.notAfterMs = static_cast<std::int64_t>(in.number(8));
    r.folder = in.text();
    const auto hasZone = in.number(1);
    if (hasZone > 1)
        return refuse("a malformed time zone");
    if (hasZone == 1)
        r.timeZone = in.text();
    const auto count = in.number(4);
    if (count > kMaxArguments)
        return refuse("too many arguments");
    for (std::uint64_t i = 0; i < count && in.ok(); ++i)
        r.arguments.push_back(in.text());
    if (!in.ok() || !in.atEnd())
        return refuse("a malformed request");
    if (r.folder.empty() || r.folder.front() != '/')
        return refuse("no absolute folder");
    if (r.kind == RequestKind::Run && r.arguments.empty())
        return refuse("no command");
    return reading;
}

AnswerReading readAnswer(std::string_view bytes)
{
    AnswerReading reading;
    std::string_view body;
    reading.state = frameBody(bytes, kAnswerMagic, kMaxAnswerBytes, body, reading.refusal);
    if (reading.state != Reading::Complete)
        return reading;
    Cursor in(body);
    reading.answer.status = static_cast<int>(static_cast<std::int32_t>(in.number(4)));
    // What a command prints may hold any byte a file name held.
    const auto text = [&] {
        const auto length = in.number(4);
        return std::string(in.raw(length));
    };
    reading.answer.out = text();
    reading.answer.err = text();
    if (!in.ok() || !in.atEnd()) {
        reading.state = Reading::Refused;
        reading.refusal = "a malformed answer";
        reading.answer = {};
    }
    return reading;
}

} // namespace quillory::ipc
