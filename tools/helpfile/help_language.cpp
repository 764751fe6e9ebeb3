#include "help_language.h"

#include "help_container.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t SystemHeaderSize = 12;
constexpr std::uint16_t LcidRecord = 9;
constexpr std::uint16_t CharsetRecord = 11;
constexpr std::size_t LcidRecordSize = 10;  // sort flags, then the LCID at 8
constexpr std::size_t LcidOffset = 8;

// Where the data of |SYSTEM's record of type lies, or 0 when there is none.
std::size_t RecordData(const Bytes& system, std::uint16_t type)
{
    for (std::size_t at = SystemHeaderSize; at + 4 <= system.size(); at += 4u + ReadU16(system, at + 2))
        if (ReadU16(system, at) == type)
            return at + 4;
    return 0;
}

void PutU16(Bytes& bytes, std::size_t at, std::uint16_t value)
{
    bytes.at(at) = static_cast<std::uint8_t>(value & 0xFF);
    bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

void AppendRecord(Bytes& system, std::uint16_t type, const Bytes& data)
{
    AppendU16(system, type);
    AppendU16(system, static_cast<std::uint32_t>(data.size()));
    system.insert(system.end(), data.begin(), data.end());
}

}  // namespace

HelpLanguage HelpLanguageNamed(const std::string& name)
{
    if (name == "en")
        return {0x0409, 0, false};
    if (name == "ru")
        return {0x0419, 204, true};
    if (name == "uk")
        return {0x0422, 204, true};
    throw HelpFileError("no help language " + name + " (en, ru, uk)");
}

Bytes SetHelpLanguage(const Bytes& helpFile, const HelpLanguage& language)
{
    std::vector<InternalFile> files = ReadHelpContainer(helpFile);
    InternalFile* system = FindInternalFile(files, "|SYSTEM");
    if (!system)
        throw HelpFileError("the help file has no |SYSTEM");
    Bytes& bytes = system->content;
    if (const std::size_t lcid = RecordData(bytes, LcidRecord)) {
        if (ReadU16(bytes, lcid - 2) < LcidRecordSize)
            throw HelpFileError("|SYSTEM's LCID record is too short");
        PutU16(bytes, lcid + LcidOffset, language.lcid);
    } else {
        Bytes data(LcidRecordSize, 0);
        PutU16(data, LcidOffset, language.lcid);
        AppendRecord(bytes, LcidRecord, data);
    }
    if (const std::size_t charset = RecordData(bytes, CharsetRecord)) {
        if (ReadU16(bytes, charset - 2) < 1)
            throw HelpFileError("|SYSTEM's CHARSET record is empty");
        bytes.at(charset) = language.charset;
    } else {
        AppendRecord(bytes, CharsetRecord, {language.charset, 0});
    }
    return WriteHelpContainer(std::move(files));
}

HelpLanguage HelpLanguageOf(const Bytes& helpFile)
{
    const std::vector<InternalFile> files = ReadHelpContainer(helpFile);
    const InternalFile* system = FindInternalFile(files, "|SYSTEM");
    const std::size_t lcid = system ? RecordData(system->content, LcidRecord) : 0;
    switch (lcid ? ReadU16(system->content, lcid + LcidOffset) : 0x0409) {
    case 0x0419: return HelpLanguageNamed("ru");
    case 0x0422: return HelpLanguageNamed("uk");
    default: return HelpLanguageNamed("en");
    }
}

Bytes SetChmLanguage(const Bytes& chm, std::uint16_t lcid)
{
    // The header: "ITSF", its version, length and a field, then the LCID.
    if (chm.size() < 0x18 || std::memcmp(chm.data(), "ITSF", 4) != 0)
        throw HelpFileError("not an HTML Help file");
    Bytes out = chm;
    PutU32(out, 0x14, lcid);
    // #SYSTEM: a version, then records of a code, a length and the data;
    // code 4 begins with the LCID. Our compiler's starts with code 9, its
    // own name, and the file holds it uncompressed.
    const char signature[] = "\x03\x00\x00\x00\x09\x00";
    const auto found = std::search(out.begin(), out.end(), signature, signature + 6);
    if (found == out.end())
        throw HelpFileError("the HTML Help file's #SYSTEM is not where it was expected");
    for (std::size_t at = static_cast<std::size_t>(found - out.begin()) + 4; at + 4 <= out.size();
         at += 4u + ReadU16(out, at + 2)) {
        const std::uint16_t code = ReadU16(out, at);
        if (code == 4) {
            PutU32(out, at + 4, lcid);
            return out;
        }
        if (code > 16)
            break;
    }
    throw HelpFileError("the HTML Help file's #SYSTEM names no language");
}
