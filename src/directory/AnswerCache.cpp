#include "directory/AnswerCache.h"

CAnswerCache::CAnswerCache(std::size_t nMaxBytes) : m_nMaxBytes(nMaxBytes) {}

std::size_t CAnswerCache::SizeOf(const Entry& entry)
{
    return entry.first.size() + entry.second.size();
}

bool CAnswerCache::Find(const std::string& path, std::string& body)
{
    const auto found = m_byPath.find(path);
    if (found == m_byPath.end())
        return false;
    m_entries.splice(m_entries.begin(), m_entries, found->second);
    body = found->second->second;
    return true;
}

void CAnswerCache::Keep(const std::string& path, const std::string& body)
{
    const auto old = m_byPath.find(path);
    if (old != m_byPath.end())
        Remove(old->second);
    Entry entry(path, body);
    if (SizeOf(entry) > m_nMaxBytes)
        return;
    while (!m_entries.empty() && m_nBytes + SizeOf(entry) > m_nMaxBytes)
        Remove(std::prev(m_entries.end()));
    m_nBytes += SizeOf(entry);
    m_entries.push_front(std::move(entry));
    m_byPath[path] = m_entries.begin();
}

void CAnswerCache::Remove(std::list<Entry>::iterator entry)
{
    m_nBytes -= SizeOf(*entry);
    m_byPath.erase(entry->first);
    m_entries.erase(entry);
}
