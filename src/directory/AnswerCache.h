#pragma once
// The directory's answers already read, by request path, within a budget of
// bytes: when a new answer would pass it, the answers used least recently go
// first. Not safe to use from several threads by itself (the session guards it).

#include <cstddef>
#include <list>
#include <string>
#include <unordered_map>
#include <utility>

class CAnswerCache
{
public:
    explicit CAnswerCache(std::size_t nMaxBytes);

    // The answer kept for the path, which then counts as the most recently used.
    bool Find(const std::string& path, std::string& body);
    // Keeps the answer in place of an older one for the path; one that is
    // larger than the whole budget is not kept.
    void Keep(const std::string& path, const std::string& body);

    std::size_t Bytes() const { return m_nBytes; }
    std::size_t Count() const { return m_entries.size(); }

private:
    using Entry = std::pair<std::string, std::string>; // path, body
    static std::size_t SizeOf(const Entry& entry);
    void Remove(std::list<Entry>::iterator entry);

    std::size_t m_nMaxBytes;
    std::size_t m_nBytes = 0;
    std::list<Entry> m_entries; // the most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> m_byPath;
};
