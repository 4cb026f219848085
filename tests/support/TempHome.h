#pragma once
// A private home for one test: HOME and the XDG folders point into a fresh
// temporary folder for the object's lifetime, so no test touches a real
// user's files, and everything is removed afterwards.

#include <functional>
#include <string>
#include <utility>
#include <vector>

class CTempHome
{
public:
    CTempHome();
    ~CTempHome();
    CTempHome(const CTempHome&) = delete;
    CTempHome& operator=(const CTempHome&) = delete;

    const std::string& Path() const { return m_path; }
    std::string ConfigFolder() const { return m_path + "/config"; }
    std::string DataFolder() const { return m_path + "/data"; }
    std::string RuntimeFolder() const { return m_path + "/runtime"; }
    // The settings file the program uses in this home.
    std::string SettingsFile() const;

private:
    std::string m_path;
    std::vector<std::pair<std::string, std::string>> m_saved; // name, old value ("\x01" = unset)
};

// Runs `run` in a child process and returns its exit status once every
// process it started has ended as well. Helper processes of the toolkit's
// web engine write into the home until they end, after the test program's
// own end: a home removed before that would come back, and stay.
int RunWhileTheHomeLives(const std::function<int()>& run);

// Small file helpers for tests.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);
bool FileExists(const std::string& path);
void RemoveTree(const std::string& path);
// UTF-8 text as station lists are written: UTF-16 little-endian, CR LF line ends.
std::string StationListBytes(const std::string& utf8Text);

// Makes a FIFO at path (mode 0600); false when it cannot.
bool MakeFifo(const std::string& path);
// Runs call on another thread and tells whether it returned within the time.
// If it did not, the FIFO at fifoPath gets a writer that closes at once, so a
// reader stuck on it wakes up and the thread ends before this returns.
bool ReturnsWithoutWaitingOnFifo(const std::string& fifoPath, const std::function<void()>& call,
                                 int seconds = 5);
