// libFuzzer target: any bytes as what a later start sends to the running
// instance, read both by the message reader alone and by a real listening
// instance through its socket.
//
// Besides not crashing, hanging or leaking under AddressSanitizer and
// UndefinedBehaviorSanitizer:
//  - the reader's answer only ever moves on from "incomplete" as bytes
//    arrive, and does not change once it is complete or invalid;
//  - a complete message is the first line, printable and short enough;
//  - a closed connection never leaves a message incomplete;
//  - what the running program reads from a complete message ("show", a
//    number, or a playlist to open) is exactly what a later start would send
//    for that request;
//  - the listening instance passes on exactly the message the reader finds
//    in everything sent, answers the sender exactly then, and closes the
//    connection in any case.

#include "app/CommandLine.h"
#include "platform/SingleInstance.h"

#include "FuzzRequire.h"

#include <glib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using platform::InstanceMessage;
using State = InstanceMessage::State;

namespace
{
platform::CSingleInstance* g_instance = nullptr;
std::optional<std::string> g_handled;

bool Same(const InstanceMessage& a, const InstanceMessage& b)
{
    return a.state == b.state && a.text == b.text;
}

// Sends the bytes as a later start would, closes the sending side, and runs
// the instance's main loop until it has closed the connection. Gives what
// came back.
std::string SendThroughSocket(const std::string& bytes)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    g_instance->GetSocketPath().copy(address.sun_path, sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    REQUIRE(fd >= 0);
    REQUIRE(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
    size_t sent = 0;
    std::string reply;
    bool closed = false;
    while (!closed)
    {
        if (sent < bytes.size())
        {
            const ssize_t count =
                ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (count > 0)
                sent += static_cast<size_t>(count);
            else
                sent = bytes.size(); // the instance has stopped reading
            if (sent == bytes.size())
                ::shutdown(fd, SHUT_WR);
        }
        else if (bytes.empty())
            ::shutdown(fd, SHUT_WR);
        g_main_context_iteration(nullptr, FALSE);
        pollfd waitFor{fd, POLLIN, 0};
        if (::poll(&waitFor, 1, 1) > 0)
        {
            char buffer[64];
            const ssize_t count = ::read(fd, buffer, sizeof buffer);
            if (count > 0)
                reply.append(buffer, static_cast<size_t>(count));
            else
                closed = true;
        }
    }
    ::close(fd);
    return reply;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::string folder = "/tmp/wavecrest-message-fuzz-XXXXXX";
    REQUIRE(::mkdtemp(folder.data()));
    ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    g_instance = new platform::CSingleInstance("wavecrest");
    REQUIRE(g_instance->Acquire() == platform::CSingleInstance::Role::Primary);
    REQUIRE(g_instance->Listen([](const std::string& message) { g_handled = message; }));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const InstanceMessage whole = platform::ReadInstanceMessage(bytes, true);
    REQUIRE(whole.state != State::Incomplete);

    InstanceMessage previous = platform::ReadInstanceMessage(std::string(), false);
    REQUIRE(previous.state == State::Incomplete);
    for (size_t length = 1; length <= size; ++length)
    {
        const InstanceMessage now = platform::ReadInstanceMessage(bytes.substr(0, length), false);
        if (previous.state != State::Incomplete)
            REQUIRE(Same(now, previous));
        if (now.state == State::Incomplete)
            REQUIRE(now.text.empty() && length <= platform::kMaxInstanceMessage &&
                    bytes.substr(0, length).find('\n') == std::string::npos);
        previous = now;
    }
    if (previous.state != State::Incomplete)
        REQUIRE(Same(whole, previous));

    if (whole.state == State::Complete)
    {
        REQUIRE(whole.text.size() <= platform::kMaxInstanceMessage);
        REQUIRE(bytes.compare(0, whole.text.size() + 1, whole.text + "\n") == 0);
        for (const char c : whole.text)
            REQUIRE(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f);

        const HandOver handOver = ReadHandOverMessage(whole.text);
        StartRequest request;
        switch (handOver.kind)
        {
        case HandOver::Kind::Show:
            REQUIRE(HandOverMessage(request) == whole.text);
            break;
        case HandOver::Kind::Number:
            REQUIRE(whole.text.compare(0, 7, "number ") == 0);
            request.number = handOver.number;
            if (handOver.number >= 0)
                REQUIRE(ReadHandOverMessage(HandOverMessage(request)).number == handOver.number);
            break;
        case HandOver::Kind::Open:
            REQUIRE(!handOver.location.empty());
            request.playlist = handOver.location;
            REQUIRE(HandOverMessage(request) == whole.text);
            break;
        case HandOver::Kind::Unknown:
            REQUIRE(whole.text != "show" && whole.text.compare(0, 7, "number ") != 0);
            break;
        }
    }

    g_handled.reset();
    const std::string reply = SendThroughSocket(bytes);
    if (whole.state == State::Complete)
        REQUIRE(g_handled == whole.text && reply == "done\n");
    else
        REQUIRE(!g_handled && reply.empty());
    return 0;
}
