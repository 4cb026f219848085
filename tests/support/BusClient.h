#pragma once
// The other side of the bus for tests of the media controls: a connection of
// its own to a bus address that calls the player object, reads and writes its
// properties, and records the PropertiesChanged signals it sends. Every call
// waits for its answer by running the main loop through the pump function
// (so that a service in the same process can answer), never by blocking.
// Programs such as playerctl can be run the same way.

#include <functional>
#include <map>
#include <string>
#include <vector>

struct _GDBusConnection;
struct _GVariant;

class CBusClient
{
public:
    // pump handles pending events once; by default one round of GLib's main context.
    explicit CBusClient(const std::string& strAddress, std::function<void()> pump = {});
    ~CBusClient();
    CBusClient(const CBusClient&) = delete;
    CBusClient& operator=(const CBusClient&) = delete;

    bool IsConnected() const { return m_pConnection != nullptr; }

    // Pumps until the condition holds or the time is up; returns the condition.
    bool WaitUntil(const std::function<bool()>& condition, int nTimeoutMilliseconds = 10000);

    // The unique name that owns a bus name ("" when nobody does).
    std::string NameOwner(const std::string& strName);

    // Calls a method of the player object (arguments in GVariant text, "()"
    // for none); true when it answered without an error, whose text goes to
    // *pError otherwise.
    bool Call(const std::string& strInterface, const std::string& strMethod,
              const std::string& strArguments = "()", std::string* pError = nullptr);

    // A property of the player object as plain text: strings and object
    // paths as they are, true/false, numbers as GVariant prints them, lists
    // of strings joined by '|', anything else as GVariant prints it; "" and
    // *pError set when it cannot be read.
    std::string Get(const std::string& strInterface, const std::string& strProperty,
                    std::string* pError = nullptr);
    double GetDouble(const std::string& strInterface, const std::string& strProperty);
    // The Metadata property, each entry as plain text.
    std::map<std::string, std::string> Metadata();
    // Sets a property (value in GVariant text); true when it was accepted.
    bool Set(const std::string& strInterface, const std::string& strProperty,
             const std::string& strValue, std::string* pError = nullptr);
    bool SetDouble(const std::string& strInterface, const std::string& strProperty, double dValue,
                   std::string* pError = nullptr);

    // PropertiesChanged signals received so far from the player object.
    struct Change
    {
        std::string strInterface;
        std::map<std::string, std::string> values; // as Get gives them
        std::vector<std::string> invalidated;
    };
    const std::vector<Change>& Changes() const { return m_changes; }
    void ClearChanges() { m_changes.clear(); }

    // Runs a program to its end while pumping; its exit status (-1 when it
    // could not be run or did not end in time) and what it wrote on stdout.
    struct Result
    {
        int nStatus = -1;
        std::string strOutput;
    };
    Result Run(const std::vector<std::string>& arguments, int nTimeoutMilliseconds = 20000);

    // GVariant to the plain text described at Get.
    static std::string PlainText(_GVariant* pValue);

private:
    _GVariant* CallRaw(const std::string& strDestination, const std::string& strPath,
                       const std::string& strInterface, const std::string& strMethod,
                       _GVariant* pArguments, std::string* pError);
    static void OnSignal(_GDBusConnection* pConnection, const char* pszSender, const char* pszPath,
                         const char* pszInterface, const char* pszSignal, _GVariant* pParameters,
                         void* pData);

    std::function<void()> m_pump;
    _GDBusConnection* m_pConnection = nullptr;
    unsigned m_nSubscription = 0;
    std::vector<Change> m_changes;
};

// The player names on the media-controls bus.
inline constexpr const char* kMprisRoot = "org.mpris.MediaPlayer2";
inline constexpr const char* kMprisPlayer = "org.mpris.MediaPlayer2.Player";
