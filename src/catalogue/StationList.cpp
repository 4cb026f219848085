#include "catalogue/StationList.h"

#include "catalogue/DataFolder.h"
#include "platform/InputFile.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>

namespace
{
// Large blocks: a 20 MB list is read in some eighty calls; a small file
// needs no more than its size.
constexpr std::size_t kMaxBlockSize = 256 * 1024;
constexpr std::size_t kMinBlockSize = 4 * 1024;

std::size_t BlockSizeFor(const platform::CInputFile& file)
{
    const auto size = file.RegularFileSize();
    if (!size)
        return kMaxBlockSize;
    return static_cast<std::size_t>(std::clamp<std::uint64_t>(*size, kMinBlockSize, kMaxBlockSize));
}

bool IsKnownType(std::string_view type)
{
    return EqualsNoCase(type, "Radio") || EqualsNoCase(type, "TV");
}

// False for a channel line the program could never offer: no type the
// display filters know, and no stream address to play.
bool CanBeOffered(std::string_view line)
{
    const std::size_t typeEnd = line.find(',');
    if (IsKnownType(TrimFieldSpace(line.substr(0, typeEnd))))
        return true;
    if (typeEnd == std::string_view::npos)
        return false;
    const std::size_t nameEnd = line.find(',', typeEnd + 1);
    if (nameEnd == std::string_view::npos)
        return false;
    const std::size_t urlEnd = line.find(',', nameEnd + 1);
    const std::string_view url =
        line.substr(nameEnd + 1, urlEnd == std::string_view::npos ? urlEnd : urlEnd - nameEnd - 1);
    return !TrimFieldSpace(url).empty();
}

} // namespace

// --- CStationListReader -------------------------------------------------------

CStationListReader::CStationListReader()
    : m_decoder([this](const StationListLine& line) { (*m_pOnLine)(line); })
{
}

CStationListReader::~CStationListReader() = default;

bool CStationListReader::Open(const std::string& path, bool regularFileOnly, bool deleteAfter)
{
    m_pFile.reset();
    auto file = std::make_unique<platform::CInputFile>();
    if (!file->Open(path, regularFileOnly, deleteAfter))
        return false;
    m_nBlockSize = BlockSizeFor(*file);
    m_pFile = std::move(file);
    m_buffer.reset(new char[m_nBlockSize]);
    return true;
}

CStationListReader::Progress
CStationListReader::ReadBlock(const CStationListDecoder::LineHandler& onLine)
{
    if (!m_pFile)
        return Progress::Failed;
    m_pOnLine = &onLine;
    const ssize_t got = m_pFile->Read(m_buffer.get(), m_nBlockSize);
    if (got < 0)
        return Progress::Failed;
    if (got == 0)
    {
        m_decoder.Finish();
        return Progress::Done;
    }
    m_decoder.Feed(m_buffer.get(), static_cast<std::size_t>(got));
    return Progress::More;
}

// --- CChannelArray -----------------------------------------------------------

int CChannelArray::Add(const CChannelRecord& record)
{
    m_records.push_back(record);
    return GetCount() - 1;
}

int CChannelArray::Add(CChannelRecord&& record)
{
    m_records.push_back(std::move(record));
    return GetCount() - 1;
}

const CChannelRecord& CChannelArray::GetAt(int index) const
{
    if (index < 0 || index >= GetCount())
        throw std::out_of_range("channel index " + std::to_string(index) + " of " +
                                std::to_string(GetCount()));
    return m_records[static_cast<std::size_t>(index)];
}

// --- CStationListDecoder -----------------------------------------------------

CStationListDecoder::CStationListDecoder(LineHandler onLine) : m_onLine(std::move(onLine)) {}

void CStationListDecoder::Feed(const char* data, std::size_t size)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* const end = bytes + size;
    if (m_oddByte >= 0 && bytes < end)
    {
        // Put the pair back together, then go on as usual.
        const unsigned char pair[2] = {static_cast<unsigned char>(m_oddByte), *bytes++};
        m_oddByte = -1;
        Feed(reinterpret_cast<const char*>(pair), 2);
    }

    while (end - bytes >= 2)
    {
        if (!m_highSurrogate && bytes[1] == 0 && bytes[0] > 0 && bytes[0] < 0x80 &&
            bytes[0] != '\n')
        {
            // A run of ASCII other than NUL and LF, nearly all of a real list,
            // goes into the line in one piece.
            const unsigned char* run = bytes;
            while (end - run >= 2 && run[1] == 0 && run[0] > 0 && run[0] < 0x80 && run[0] != '\n')
                run += 2;
            const std::size_t length = m_line.size();
            m_line.resize(length + static_cast<std::size_t>(run - bytes) / 2);
            for (char* out = &m_line[length]; bytes < run; bytes += 2)
                *out++ = static_cast<char>(*bytes);
            m_lineStarted = true;
            continue;
        }
        const char16_t unit = static_cast<char16_t>(bytes[0] | (bytes[1] << 8));
        bytes += 2;
        m_lineStarted = true;
        if (m_highSurrogate)
        {
            if (unit >= 0xDC00 && unit <= 0xDFFF)
            {
                AppendUtf8(m_line, 0x10000 + ((char32_t(m_highSurrogate) - 0xD800) << 10) +
                                       (char32_t(unit) - 0xDC00));
                m_highSurrogate = 0;
                continue;
            }
            AppendUtf8(m_line, 0xFFFD);
            m_problems |= StationListLine::kUnpairedSurrogate;
            m_highSurrogate = 0;
        }
        if (unit < 0x80 && unit > 0 && unit != u'\n')
        {
            m_line += static_cast<char>(unit);
        }
        else if (unit == u'\n')
        {
            // CR LF ends a line as LF alone does; neither is part of the line.
            if (!m_line.empty() && m_line.back() == '\r')
                m_line.pop_back();
            EndLine();
        }
        else if (unit == 0)
        {
            m_problems |= StationListLine::kNulCharacter;
        }
        else if (unit >= 0xD800 && unit <= 0xDBFF)
        {
            m_highSurrogate = unit;
        }
        else
        {
            if (unit >= 0xDC00 && unit <= 0xDFFF)
                m_problems |= StationListLine::kUnpairedSurrogate;
            AppendUtf8(m_line, unit); // a lone low surrogate becomes U+FFFD
        }
    }
    if (bytes < end)
    {
        m_oddByte = *bytes;
        m_lineStarted = true;
    }
}

void CStationListDecoder::Finish()
{
    if (m_highSurrogate)
    {
        AppendUtf8(m_line, 0xFFFD);
        m_problems |= StationListLine::kUnpairedSurrogate;
        m_highSurrogate = 0;
    }
    if (m_oddByte >= 0)
    {
        m_problems |= StationListLine::kOddByte;
        m_oddByte = -1;
    }
    if (m_lineStarted)
        EndLine();
    m_line.clear();
    m_problems = 0;
    m_number = 1;
}

void CStationListDecoder::EndLine()
{
    m_onLine(StationListLine{m_line, m_number, m_problems});
    m_line.clear();
    m_problems = 0;
    m_lineStarted = false;
    ++m_number;
}

StationListReadResult ReadStationListFile(const std::string& path,
                                          const CStationListDecoder::LineHandler& onLine,
                                          bool regularFileOnly)
{
    CStationListReader reader;
    if (!reader.Open(path, regularFileOnly, false))
        return StationListReadResult::NotOpened;
    for (;;)
    {
        switch (reader.ReadBlock(onLine))
        {
        case CStationListReader::Progress::More:
            continue;
        case CStationListReader::Progress::Done:
            return StationListReadResult::Read;
        case CStationListReader::Progress::Failed:
            return StationListReadResult::ReadError;
        }
    }
}

// --- CStationList ------------------------------------------------------------

CStationList::CStationList(ChannelFilters filters) : m_filters(filters) {}

CStationList CStationList::EveryChannel()
{
    CStationList list;
    list.m_filters.reset();
    return list;
}
CStationList::~CStationList() = default;
CStationList::CStationList(CStationList&&) noexcept = default;
CStationList& CStationList::operator=(CStationList&&) noexcept = default;

bool CStationList::Load()
{
    if (!BeginLoad())
        return false;
    while (!ContinueLoad(std::chrono::minutes(1)))
    {
    }
    return true;
}

bool CStationList::BeginLoad()
{
    m_pReader.reset();
    m_channels.RemoveAll();
    m_bTruncated = false;
    m_bOutOfMemory = false;
    auto reader = std::make_unique<CStationListReader>();
    if (!reader->Open(GetStationListPath(), true, true))
        return false;
    m_pReader = std::move(reader);
    return true;
}

bool CStationList::ContinueLoad(std::chrono::milliseconds budget)
{
    if (!m_pReader)
        return true;
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto onLine = [this](const StationListLine& line) { AddLineUtf8(line.text); };
    try
    {
        // A full list reads no further: nothing more would be kept.
        while (!m_bTruncated && m_pReader->ReadBlock(onLine) == CStationListReader::Progress::More)
        {
            if (Clock::now() - start >= budget)
                return false;
        }
    }
    catch (const std::bad_alloc&)
    {
        // Out of memory part-way: the channels read so far stay.
        m_bOutOfMemory = true;
    }
    m_pReader.reset(); // closes and deletes the file
    return true;
}

StationListReadResult CStationList::ReadFile(const std::string& path)
{
    m_channels.RemoveAll();
    m_bOutOfMemory = false;
    return ReadStationListFile(
        path, [this](const StationListLine& line) { AddLineUtf8(line.text); }, false);
}

bool CStationList::AddLine(const wxString& line)
{
    return AddLineUtf8(ToUtf8(line));
}

bool CStationList::AddLineUtf8(std::string_view line)
{
    if (TrimFieldSpace(line).empty())
        return true;
    const bool headerRead = !m_header.FieldUtf8(CChannelRecord::kType).empty();
    if (headerRead && m_filters)
    {
        // Decided on the line itself, before a record is made of it: a list
        // of millions of such lines costs no memory.
        if (m_bTruncated || !CanBeOffered(line))
            return true;
        if (m_channels.GetCount() >= kMaxChannels)
        {
            m_bTruncated = true;
            return true;
        }
    }
    CChannelRecord record = CChannelRecord::ParseUtf8(line, &m_bOutOfMemory);
    if (!headerRead)
        m_header = std::move(record);
    else if (Shown(record))
        m_channels.Add(std::move(record));
    return true;
}

bool CStationList::Shown(const CChannelRecord& channel) const
{
    if (!m_filters)
        return true;
    const std::string_view type = channel.FieldUtf8(CChannelRecord::kType);
    if (!m_filters->showRadio && EqualsNoCase(type, "Radio"))
        return false;
    if (!m_filters->showTV && EqualsNoCase(type, "TV"))
        return false;
    return true;
}
