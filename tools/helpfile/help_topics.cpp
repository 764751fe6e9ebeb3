#include "help_topics.h"

#include <algorithm>

namespace {

constexpr std::uint16_t SystemMagic = 0x036C;
constexpr std::size_t SystemHeaderSize = 12;
constexpr std::uint16_t ContentsRecord = 3;
constexpr std::size_t TopicBlockSize = 4096;
constexpr std::size_t TopicBlockHeaderSize = 12;
constexpr std::size_t TopicLinkHeaderSize = 21;
constexpr std::uint32_t NoLink = 0xFFFFFFFF;

enum RecordType : std::uint8_t { TopicHeader = 0x02, Text = 0x20, Table = 0x23 };

const Bytes& ContentOf(const std::vector<InternalFile>& files, const std::string& name)
{
    const InternalFile* file = FindInternalFile(files, name);
    if (!file)
        throw HelpFileError("the help file has no " + name);
    return file->content;
}

void CheckTopicsReadable(const Bytes& system)
{
    if (ReadU16(system, 0) != SystemMagic)
        throw HelpFileError("|SYSTEM does not start with its magic number");
    if (ReadU16(system, 2) <= 16)
        throw HelpFileError("topics of Windows 3.0 help files are not read");
    if (ReadU16(system, 10) != 0)
        throw HelpFileError("compressed topic blocks are not read");
}

// The topic blocks without their headers, one run of bytes, as topic links
// may continue from one block into the next.
Bytes JoinTopicBlocks(const Bytes& topic)
{
    Bytes joined;
    for (std::size_t block = 0; block < topic.size(); block += TopicBlockSize) {
        const std::size_t end = std::min(block + TopicBlockSize, topic.size());
        if (block + TopicBlockHeaderSize < end)
            joined.insert(joined.end(), topic.begin() + static_cast<std::ptrdiff_t>(block + TopicBlockHeaderSize),
                          topic.begin() + static_cast<std::ptrdiff_t>(end));
    }
    return joined;
}

// A TOPICPOS holds the block number above bit 14 and the position inside
// the block, its header included, below.
std::size_t BlockOf(std::uint32_t topicPos)
{
    return (topicPos - TopicBlockHeaderSize) >> 14;
}

std::size_t JoinedPosition(std::uint32_t topicPos)
{
    const std::size_t inBlock = (topicPos - TopicBlockHeaderSize) & 0x3FFFu;
    if (topicPos < TopicBlockHeaderSize || inBlock >= TopicBlockSize - TopicBlockHeaderSize)
        throw HelpFileError("a topic link position points outside its block");
    return BlockOf(topicPos) * (TopicBlockSize - TopicBlockHeaderSize) + inBlock;
}

// A text record starts with two packed numbers: its size (a packed long, 2
// or 4 bytes) and the number of characters it shows (a packed short, 1 or 2).
std::uint32_t CharactersShown(const Bytes& linkData1)
{
    const std::size_t at = (ReadU8(linkData1, 0) & 1) ? 4 : 2;
    const std::uint8_t low = ReadU8(linkData1, at);
    return (low & 1) ? ReadU16(linkData1, at) / 2u : low / 2u;
}

// The strings of a record end where a formatting command applies; joined,
// they are what the reader sees.
std::string VisibleText(const Bytes& linkData2)
{
    std::string text;
    for (const std::uint8_t c : linkData2)
        if (c != 0)
            text.push_back(static_cast<char>(c));
    return text;
}

std::string TitleOf(const Bytes& linkData2)
{
    std::string title;
    for (std::size_t i = 0; i < linkData2.size() && linkData2[i] != 0; ++i)
        title.push_back(static_cast<char>(linkData2[i]));
    return title;
}

}  // namespace

std::vector<HelpTopic> ReadHelpTopics(const std::vector<InternalFile>& files)
{
    CheckTopicsReadable(ContentOf(files, "|SYSTEM"));
    const Bytes topicLinks = JoinTopicBlocks(ContentOf(files, "|TOPIC"));

    std::vector<HelpTopic> topics;
    std::uint32_t position = TopicBlockHeaderSize;
    std::size_t block = 0;
    std::uint32_t characters = 0;
    for (std::size_t links = 0;; ++links) {
        if (links > topicLinks.size() / TopicLinkHeaderSize)
            throw HelpFileError("the topic links run in a circle");
        const std::size_t at = JoinedPosition(position);
        const std::uint32_t size = ReadU32(topicLinks, at);
        const std::uint32_t textSize = ReadU32(topicLinks, at + 4);
        const std::uint32_t next = ReadU32(topicLinks, at + 12);
        const std::uint32_t headSize = ReadU32(topicLinks, at + 16);
        const std::uint8_t type = ReadU8(topicLinks, at + 20);
        // The last link closes the chain and carries nothing.
        if (next == NoLink || next == 0)
            break;
        if (headSize < TopicLinkHeaderSize || headSize > size)
            throw HelpFileError("a topic link has inconsistent sizes");
        const Bytes linkData1 = Slice(topicLinks, at + TopicLinkHeaderSize, headSize - TopicLinkHeaderSize);
        Bytes linkData2 = Slice(topicLinks, at + headSize, size - headSize);
        if (textSize > linkData2.size())
            throw HelpFileError("phrase-compressed topic text is not read");
        linkData2.resize(textSize);

        // Characters are counted from the start of the block a link starts in.
        if (BlockOf(position) != block) {
            block = BlockOf(position);
            characters = 0;
        }
        if (type == TopicHeader) {
            topics.push_back({static_cast<std::uint32_t>(block * 0x8000 + characters), TitleOf(linkData2), ""});
        } else if (type == Text || type == Table) {
            if (topics.empty())
                throw HelpFileError("text comes before the first topic header");
            characters += CharactersShown(linkData1);
            topics.back().text += VisibleText(linkData2) + "\n";
        } else {
            throw HelpFileError("unknown topic record type " + std::to_string(type));
        }
        position = next;
    }
    return topics;
}

std::uint32_t ContentsTopicOffset(const std::vector<InternalFile>& files)
{
    const Bytes& system = ContentOf(files, "|SYSTEM");
    CheckTopicsReadable(system);
    for (std::size_t at = SystemHeaderSize; at + 4 <= system.size(); at += 4u + ReadU16(system, at + 2)) {
        if (ReadU16(system, at) == ContentsRecord && ReadU16(system, at + 2) == 4)
            return ReadU32(system, at + 4);
    }
    const std::vector<HelpTopic> topics = ReadHelpTopics(files);
    if (topics.empty())
        throw HelpFileError("the help file has no topics");
    return topics.front().offset;
}
