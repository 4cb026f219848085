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

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform
{
class CInputFile;
}

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

// A station-list file open for reading, read block by block.
class CStationListReader
{
public:
    enum class Progress
    {
        More,   // a block was read; there may be more
        Done,   // the end of the file; its last line has been handed over
        Failed, // reading failed; the unfinished line is dropped
    };

    CStationListReader();
    ~CStationListReader(); // closes the file (and deletes it when asked to)
    CStationListReader(const CStationListReader&) = delete;
    CStationListReader& operator=(const CStationListReader&) = delete;

    // Opens the file; false (with errno set) when it cannot be opened, or is
    // a directory, or is not a regular file when one is required.
    bool Open(const std::string& path, bool regularFileOnly, bool deleteAfter);
    // Reads the next block and hands every line it completes to the handler.
    Progress ReadBlock(const CStationListDecoder::LineHandler& onLine);

private:
    std::unique_ptr<platform::CInputFile> m_pFile;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_nBlockSize = 0;
    const CStationListDecoder::LineHandler* m_pOnLine = nullptr;
    CStationListDecoder m_decoder;
};

// Which channel types the program's list shows (the radio page's display
// settings).
struct ChannelFilters
{
    bool showRadio = true;
    bool showTV = true;
};

class CStationList
{
public:
    // The program's list: channels of a type the filters hide are left out.
    explicit CStationList(ChannelFilters filters = ChannelFilters());
    // Every line a channel, as the maintainers' tool wants it.
    static CStationList EveryChannel();

    // The most channels the program's list keeps; it leaves out the rest.
    static constexpr int kMaxChannels = 500000;

    ~CStationList();
    CStationList(CStationList&&) noexcept;
    CStationList& operator=(CStationList&&) noexcept;

    // Loads the station-list file of the data folder: true when it could be
    // opened, whatever it holds. Once opened, the file is deleted after the
    // reading on every path, also when reading or memory fails part-way
    // (then the channels read so far stay).
    bool Load();
    // The same load a slice of time at a time, so that a caller on the GUI
    // thread can let the window answer in between: BeginLoad opens the file
    // (false when it cannot), then each ContinueLoad reads on for about that
    // long and is true once the load has ended; the file is closed and
    // deleted then, or when the list goes away before.
    bool BeginLoad();
    bool ContinueLoad(std::chrono::milliseconds budget);
    bool IsLoading() const { return m_pReader != nullptr; }
    // Reads another file the same way without deleting it (the maintainers'
    // tool); any kind of readable file is accepted.
    StationListReadResult ReadFile(const std::string& path);

    // One line of the file: skipped when blank; the header while the header's
    // type is empty; else a channel, added unless a display filter leaves it
    // out. The program's list also
    // leaves out a channel it could never offer (neither radio nor TV, and
    // without a stream address), and every channel after the first
    // kMaxChannels it keeps. Always true.
    bool AddLine(const wxString& line);
    bool AddLineUtf8(std::string_view line);
    // True when channels were left out because the list was full.
    bool IsTruncated() const { return m_bTruncated; }
    // True when memory ran out during the last load or read (or while adding
    // a line): channels are missing or empty. Reporting it is the caller's.
    bool RanOutOfMemory() const { return m_bOutOfMemory; }

    CChannelRecord m_header;
    CChannelArray m_channels;

private:
    bool Shown(const CChannelRecord& channel) const;

    std::optional<ChannelFilters> m_filters; // none: every channel

    bool m_bTruncated = false;
    bool m_bOutOfMemory = false;
    std::unique_ptr<CStationListReader> m_pReader; // the file of a load under way
};
