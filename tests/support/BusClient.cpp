#include "support/BusClient.h"

#include <gio/gio.h>

#include <chrono>
#include <memory>
#include <thread>

namespace
{
constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";
constexpr const char* kPlayerName = "org.mpris.MediaPlayer2.wavecrest";

struct CPendingCall
{
    bool bDone = false;
    GVariant* pReply = nullptr;
    std::string strError;
};

void OnCallDone(GObject* pSource, GAsyncResult* pResult, gpointer pData)
{
    auto* pCall = static_cast<CPendingCall*>(pData);
    GError* pError = nullptr;
    pCall->pReply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(pSource), pResult, &pError);
    if (pError)
    {
        pCall->strError = pError->message;
        g_error_free(pError);
    }
    pCall->bDone = true;
}

struct CPendingRun
{
    bool bDone = false;
    int nStatus = -1;
    std::string strOutput;
};

void OnRunDone(GObject* pSource, GAsyncResult* pResult, gpointer pData)
{
    auto* pRun = static_cast<CPendingRun*>(pData);
    auto* pProcess = G_SUBPROCESS(pSource);
    gchar* pszOutput = nullptr;
    if (g_subprocess_communicate_utf8_finish(pProcess, pResult, &pszOutput, nullptr, nullptr))
    {
        pRun->nStatus =
            g_subprocess_get_if_exited(pProcess) ? g_subprocess_get_exit_status(pProcess) : -1;
        pRun->strOutput = pszOutput ? pszOutput : "";
    }
    g_free(pszOutput);
    pRun->bDone = true;
}
} // namespace

CBusClient::CBusClient(const std::string& strAddress, std::function<void()> pump)
    : m_pump(pump ? std::move(pump) : [] { g_main_context_iteration(nullptr, FALSE); })
{
    // The bus is another process: connecting may wait for it.
    m_pConnection = g_dbus_connection_new_for_address_sync(
        strAddress.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    if (!m_pConnection)
        return;
    g_dbus_connection_set_exit_on_close(m_pConnection, FALSE);
    m_nSubscription = g_dbus_connection_signal_subscribe(
        m_pConnection, nullptr, "org.freedesktop.DBus.Properties", "PropertiesChanged", kObjectPath,
        nullptr, G_DBUS_SIGNAL_FLAGS_NONE, &CBusClient::OnSignal, this, nullptr);
}

CBusClient::~CBusClient()
{
    if (!m_pConnection)
        return;
    g_dbus_connection_signal_unsubscribe(m_pConnection, m_nSubscription);
    g_dbus_connection_close_sync(m_pConnection, nullptr, nullptr);
    g_object_unref(m_pConnection);
}

bool CBusClient::WaitUntil(const std::function<bool()>& condition, int nTimeoutMilliseconds)
{
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMilliseconds);
    for (;;)
    {
        m_pump();
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void CBusClient::OnSignal(GDBusConnection* /*pConnection*/, const char* /*pszSender*/,
                          const char* /*pszPath*/, const char* /*pszInterface*/,
                          const char* /*pszSignal*/, GVariant* pParameters, void* pData)
{
    auto* pClient = static_cast<CBusClient*>(pData);
    if (!g_variant_is_of_type(pParameters, G_VARIANT_TYPE("(sa{sv}as)")))
        return;
    Change change;
    const gchar* pszChangedInterface = nullptr;
    GVariantIter* pValues = nullptr;
    GVariantIter* pInvalidated = nullptr;
    g_variant_get(pParameters, "(&sa{sv}as)", &pszChangedInterface, &pValues, &pInvalidated);
    change.strInterface = pszChangedInterface;
    const gchar* pszName = nullptr;
    GVariant* pValue = nullptr;
    while (g_variant_iter_next(pValues, "{&sv}", &pszName, &pValue))
    {
        change.values[pszName] = PlainText(pValue);
        g_variant_unref(pValue);
    }
    while (g_variant_iter_next(pInvalidated, "&s", &pszName))
        change.invalidated.push_back(pszName);
    g_variant_iter_free(pValues);
    g_variant_iter_free(pInvalidated);
    pClient->m_changes.push_back(std::move(change));
}

std::string CBusClient::PlainText(GVariant* pValue)
{
    if (!pValue)
        return std::string();
    if (g_variant_is_of_type(pValue, G_VARIANT_TYPE_VARIANT))
    {
        GVariant* pInner = g_variant_get_variant(pValue);
        std::string strText = PlainText(pInner);
        g_variant_unref(pInner);
        return strText;
    }
    if (g_variant_is_of_type(pValue, G_VARIANT_TYPE_STRING) ||
        g_variant_is_of_type(pValue, G_VARIANT_TYPE_OBJECT_PATH))
        return g_variant_get_string(pValue, nullptr);
    if (g_variant_is_of_type(pValue, G_VARIANT_TYPE_BOOLEAN))
        return g_variant_get_boolean(pValue) ? "true" : "false";
    if (g_variant_is_of_type(pValue, G_VARIANT_TYPE_STRING_ARRAY))
    {
        std::string strText;
        gsize nCount = 0;
        const gchar** ppItems = g_variant_get_strv(pValue, &nCount);
        for (gsize i = 0; i < nCount; ++i)
            strText += (i ? "|" : "") + std::string(ppItems[i]);
        g_free(ppItems);
        return strText;
    }
    gchar* pszPrinted = g_variant_print(pValue, FALSE);
    std::string strText = pszPrinted;
    g_free(pszPrinted);
    return strText;
}

GVariant* CBusClient::CallRaw(const std::string& strDestination, const std::string& strPath,
                              const std::string& strInterface, const std::string& strMethod,
                              GVariant* pArguments, std::string* pError)
{
    if (!m_pConnection)
    {
        if (pArguments)
            g_variant_unref(g_variant_ref_sink(pArguments));
        if (pError)
            *pError = "not connected";
        return nullptr;
    }
    auto pCall = std::make_shared<CPendingCall>();
    g_dbus_connection_call(m_pConnection, strDestination.c_str(), strPath.c_str(),
                           strInterface.c_str(), strMethod.c_str(), pArguments, nullptr,
                           G_DBUS_CALL_FLAGS_NO_AUTO_START, 10000, nullptr, &OnCallDone,
                           pCall.get());
    // The call times out by itself: the wait always ends.
    while (!pCall->bDone)
    {
        m_pump();
        if (!pCall->bDone)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (pError)
        *pError = pCall->strError;
    return pCall->pReply;
}

std::string CBusClient::NameOwner(const std::string& strName)
{
    GVariant* pReply =
        CallRaw("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                "GetNameOwner", g_variant_new("(s)", strName.c_str()), nullptr);
    if (!pReply)
        return std::string();
    const gchar* pszOwner = nullptr;
    g_variant_get(pReply, "(&s)", &pszOwner);
    std::string strOwner = pszOwner;
    g_variant_unref(pReply);
    return strOwner;
}

bool CBusClient::Call(const std::string& strInterface, const std::string& strMethod,
                      const std::string& strArguments, std::string* pError)
{
    GVariant* pArguments =
        g_variant_parse(nullptr, strArguments.c_str(), nullptr, nullptr, nullptr);
    std::string strError;
    GVariant* pReply =
        CallRaw(kPlayerName, kObjectPath, strInterface, strMethod, pArguments, &strError);
    if (pError)
        *pError = strError;
    if (!pReply)
        return false;
    g_variant_unref(pReply);
    return true;
}

std::string CBusClient::Get(const std::string& strInterface, const std::string& strProperty,
                            std::string* pError)
{
    GVariant* pReply =
        CallRaw(kPlayerName, kObjectPath, "org.freedesktop.DBus.Properties", "Get",
                g_variant_new("(ss)", strInterface.c_str(), strProperty.c_str()), pError);
    if (!pReply)
        return std::string();
    GVariant* pValue = nullptr;
    g_variant_get(pReply, "(v)", &pValue);
    std::string strText = PlainText(pValue);
    g_variant_unref(pValue);
    g_variant_unref(pReply);
    return strText;
}

double CBusClient::GetDouble(const std::string& strInterface, const std::string& strProperty)
{
    return std::stod("0" + Get(strInterface, strProperty));
}

std::map<std::string, std::string> CBusClient::Metadata()
{
    std::map<std::string, std::string> entries;
    GVariant* pReply = CallRaw(kPlayerName, kObjectPath, "org.freedesktop.DBus.Properties", "Get",
                               g_variant_new("(ss)", kMprisPlayer, "Metadata"), nullptr);
    if (!pReply)
        return entries;
    GVariant* pValue = nullptr;
    g_variant_get(pReply, "(v)", &pValue);
    GVariantIter iter;
    g_variant_iter_init(&iter, pValue);
    const gchar* pszKey = nullptr;
    GVariant* pEntry = nullptr;
    while (g_variant_iter_next(&iter, "{&sv}", &pszKey, &pEntry))
    {
        entries[pszKey] = PlainText(pEntry);
        g_variant_unref(pEntry);
    }
    g_variant_unref(pValue);
    g_variant_unref(pReply);
    return entries;
}

bool CBusClient::Set(const std::string& strInterface, const std::string& strProperty,
                     const std::string& strValue, std::string* pError)
{
    GVariant* pValue = g_variant_parse(nullptr, strValue.c_str(), nullptr, nullptr, nullptr);
    if (!pValue)
    {
        if (pError)
            *pError = "not a GVariant text: " + strValue;
        return false;
    }
    GVariant* pReply =
        CallRaw(kPlayerName, kObjectPath, "org.freedesktop.DBus.Properties", "Set",
                g_variant_new("(ssv)", strInterface.c_str(), strProperty.c_str(), pValue), pError);
    if (!pReply)
        return false;
    g_variant_unref(pReply);
    return true;
}

bool CBusClient::SetDouble(const std::string& strInterface, const std::string& strProperty,
                           double dValue, std::string* pError)
{
    GVariant* pReply = CallRaw(kPlayerName, kObjectPath, "org.freedesktop.DBus.Properties", "Set",
                               g_variant_new("(ssv)", strInterface.c_str(), strProperty.c_str(),
                                             g_variant_new_double(dValue)),
                               pError);
    if (!pReply)
        return false;
    g_variant_unref(pReply);
    return true;
}

CBusClient::Result CBusClient::Run(const std::vector<std::string>& arguments,
                                   int nTimeoutMilliseconds)
{
    Result result;
    std::vector<const gchar*> argv;
    for (const std::string& strArgument : arguments)
        argv.push_back(strArgument.c_str());
    argv.push_back(nullptr);
    GSubprocess* pProcess =
        g_subprocess_newv(argv.data(),
                          static_cast<GSubprocessFlags>(G_SUBPROCESS_FLAGS_STDOUT_PIPE |
                                                        G_SUBPROCESS_FLAGS_STDERR_SILENCE),
                          nullptr);
    if (!pProcess)
        return result;
    auto pRun = std::make_shared<CPendingRun>();
    g_subprocess_communicate_utf8_async(pProcess, nullptr, nullptr, &OnRunDone, pRun.get());
    if (!WaitUntil([&] { return pRun->bDone; }, nTimeoutMilliseconds))
    {
        // Ended, and waited for, so that the callback comes before pRun goes.
        g_subprocess_force_exit(pProcess);
        WaitUntil([&] { return pRun->bDone; }, 60000);
        result.nStatus = -1;
    }
    else
    {
        result.nStatus = pRun->nStatus;
        result.strOutput = pRun->strOutput;
    }
    g_object_unref(pProcess);
    return result;
}
