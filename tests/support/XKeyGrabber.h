#pragma once
// Hot-key tests play the rest of the desktop: another X client that grabs a
// key or takes the keyboard focus (tests/support/x_key_grabber.c), and a
// person pressing keys (xdotool).

#include <string>
#include <sys/types.h>
#include <vector>

// A running x_key_grabber. It keeps its grab or its focus until Stop() or the
// destructor, which always end the process.
class CXKeyGrabber
{
public:
    explicit CXKeyGrabber(const std::vector<std::string>& arguments);
    ~CXKeyGrabber();
    CXKeyGrabber(const CXKeyGrabber&) = delete;
    CXKeyGrabber& operator=(const CXKeyGrabber&) = delete;

    // Another client grabs the key (an X key symbol name such as "p") with the
    // X modifiers ("control", "mod1", ...).
    static std::vector<std::string> GrabArguments(const std::string& keySym,
                                                  const std::vector<std::string>& modifiers);

    // The client's one-line answer: "grabbed", "refused", "no-key", "focused 0x...".
    const std::string& Answer() const { return m_strAnswer; }
    bool Grabbed() const { return m_strAnswer == "grabbed"; }
    // Lets the client go and waits for it to end.
    void Stop();

private:
    pid_t m_nPid = -1;
    int m_nInput = -1;
    std::string m_strAnswer;
};

// Whether another client can grab the combination right now (it lets go at once).
bool AnotherClientCanGrab(const std::string& keySym, const std::vector<std::string>& modifiers);

// Presses keys as a person would: `xdotool key <keys>` (for instance "ctrl+alt+p").
bool PressKeys(const std::string& keys);
