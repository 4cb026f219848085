#pragma once
// The station list of one reload: the header record (the column titles) and
// the channels that passed the radio and TV filters, in file order; and the
// reader of the station-list file, shared with the maintainers' tool.
//
// The file is UTF-16 little-endian text: a header line, then one channel a
// line, seven comma-separated fields each. Lines end in CR LF or LF alone; a
// last line without a line end is read too. Blank lines are skipped anywhere.

#include "catalogue/ChannelRecord.h"

#include <wx/string.h>

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

// The channels of a station list: an ordered array of records held by value.
// Its storage grows in small blocks, so that appending never moves the
// records already held (no copies, no doubled memory while it grows).
class CChannelArray
{
public:
    using const_iterator = std::deque<CChannelRecord>::const_iterator;

    void RemoveAll() { m_records.clear(); }
    // Appends a copy at the end and returns its index.
    int Add(const CChannelRecord& record);
    int Add(CChannelRecord&& record);
    int GetCount() const { return static_cast<int>(m_records.size()); }
    bool IsEmpty() const { return m_records.empty(); }
    // Read access; an index outside 0 to GetCount() - 1 throws
    // std::out_of_range and changes nothing.
    const CChannelRecord& GetAt(int index) const;
    const CChannelRecord& operator[](int index) const { return GetAt(index); }

    const_iterator begin() const { return m_records.begin(); }
    const_iterator end() const { return m_records.end(); }

private:
    std::deque<CChannelRecord> m_records;
};

// One line of the file as the reader decoded it.
struct StationListLine
{
    // What was wrong with the line's UTF-16.
    enum Problem : unsigned
    {
        kUnpairedSurrogate = 1, // each became U+FFFD
        kNulCharacter = 2,      // left out
        kOddByte = 4,           // a last byte without its pair, left out
    };
    std::string_view text; // UTF-8, without the line end; valid until the next line
    long number = 0;       // 1 for the first line of the file
    unsigned problems = 0;
};

// Turns UTF-16 little-endian bytes, given in blocks of any size, into lines.
// Never fails: broken UTF-16 gives U+FFFD or is left out, and is noted in the
// line's problems.
class CStationListDecoder
{
public:
    using LineHandler = std::function<void(const StationListLine&)>;

    explicit CStationListDecoder(LineHandler onLine);
    // Decodes the next block; calls the handler for every line it completes.
    void Feed(const char* data, std::size_t size);
    // At the end of the input: hands over the last line when it has no line
    // end (or only an odd byte), and starts again for a new input.
    void Finish();

private:
    void EndLine();

    LineHandler m_onLine;
    std::string m_line;
    long m_number = 1;
    unsigned m_problems = 0;
    int m_oddByte = -1;           // a byte whose pair is in the next block
    char16_t m_highSurrogate = 0; // a high surrogate whose pair may follow
    bool m_lineStarted = false;   // something (even a dropped unit) since the last line end
};

enum class StationListReadResult
{
    Read,      // the whole file was read
    NotOpened, // it could not be opened (or is not a regular file when one is required)
    ReadError, // reading failed part-way; the lines before the failure were handed over
};

// Reads a station-list file from front to back in large blocks and hands
// every line to the handler. Never changes or deletes the file. Exceptions
// of the handler pass through (after the file is closed).
StationListReadResult ReadStationListFile(const std::string& path,
                                          const CStationListDecoder::LineHandler& onLine,
                                          bool regularFileOnly);

// Tests only: replaces read(2) in the reader, to make reading fail part-way
// (nullptr puts read(2) back).
using ReadFunction = ssize_t (*)(int fd, void* buffer, std::size_t size);
void SetStationListReadFunctionForTests(ReadFunction read);

class CStationList
{
public:
    enum class DisplayFilters
    {
        FromSettings, // "DisplayRadioChannels" and "DisplayTVChannels" through g_pCachedSettings
        None,         // every channel is added
    };

    explicit CStationList(DisplayFilters filters = DisplayFilters::FromSettings);

    // Loads the station-list file of the data folder: true when it could be
    // opened, whatever it holds. Once opened, the file is deleted after the
    // reading on every path, also when reading or memory fails part-way
    // (then the channels read so far stay).
    bool Load();
    // Reads another file the same way without deleting it (the maintainers'
    // tool); any kind of readable file is accepted.
    StationListReadResult ReadFile(const std::string& path);

    // One line of the file: skipped when blank; the header while the header's
    // type is empty; else a channel, added unless a display filter leaves it
    // out. Always true.
    bool AddLine(const wxString& line);
    bool AddLineUtf8(std::string_view line);

    CChannelRecord m_header;
    CChannelArray m_channels;

private:
    bool Shown(const CChannelRecord& channel) const;

    DisplayFilters m_filters;
};
