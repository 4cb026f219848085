#pragma once
// The channels the person added (from playlist files, by hand, or from
// elsewhere in the program), kept in <data folder>/MyChannels.txt: the line
// format of the station list in UTF-8, a header line and then one channel a
// line, the file replaced in one step on every save. No two channels share a
// stream address, and every address is one the player accepts.

#include "catalogue/ChannelRecord.h"

#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

struct PlaylistEntry;

class CMyChannels
{
public:
    // <data folder>/MyChannels.txt.
    static std::string DefaultPath();

    explicit CMyChannels(std::string path = DefaultPath());

    // Reads the file; without one, the list is empty. Lines that are not a
    // channel the list could hold (no type, an address the player refuses, an
    // address met before) are skipped. False when a file is there but could
    // not be read (the list is empty then).
    bool Load();
    // Writes the header and every channel, replacing the file in one step.
    bool Save() const;

    // Adds the channel at the end: false (nothing changes) when its address
    // is one the player refuses or already in the list.
    bool Add(const CChannelRecord& channel);
    // Removes the channel at that index; false when there is none.
    bool Remove(int index);
    // Puts the channel in place of the one at that index: false (nothing
    // changes) when there is none there, or its address is refused or that of
    // another channel of the list.
    bool Replace(int index, const CChannelRecord& channel);
    // The index of the channel with that address, -1 when none has it.
    int Find(const std::string& address) const;

    int GetCount() const { return static_cast<int>(m_channels.size()); }
    const CChannelRecord& GetAt(int index) const
    {
        return m_channels.at(static_cast<std::size_t>(index));
    }
    const std::vector<CChannelRecord>& Channels() const { return m_channels; }
    // The column titles the file's header gives.
    const CChannelRecord& Header() const { return m_header; }
    const std::string& Path() const { return m_path; }

    // A channel of the list's form: type "Radio" or "TV", the name, the
    // address, the logo's address in field 3, the group in field 4, status ON.
    static CChannelRecord MakeChannel(const std::string& name, const std::string& address, bool tv,
                                      const std::string& group = std::string(),
                                      const std::string& logo = std::string());
    static CChannelRecord FromPlaylistEntry(const PlaylistEntry& entry);

    // The line of the file that holds the record: fields 0 to 5 cannot hold a
    // comma or a line end, so a comma becomes U+201A (which looks alike) and
    // a line end a blank; in the status, only line ends are replaced. In the
    // stream address a comma is written "%2C", and a percent sign "%25" where
    // "2C" or "25" follows it, so that reading the file gives back the
    // address as it is played.
    static std::string LineOf(const CChannelRecord& record);

private:
    bool CanHold(const CChannelRecord& channel) const;

    std::string m_path;
    CChannelRecord m_header;
    std::vector<CChannelRecord> m_channels;
    std::unordered_set<std::string> m_addresses;
};
