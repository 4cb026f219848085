#include "platform/MprisService.h"

#include <gio/gio.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace platform
{

namespace
{

constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";
constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";
constexpr const char* kCancellableOwner = "wavecrest-mpris-service";

// What the bus learns about the object: the two interfaces of a media player.
// Registering them with this description gives org.freedesktop.DBus.Properties
// and Introspectable as well.
constexpr const char* kIntrospection = R"(<node>
  <interface name="org.mpris.MediaPlayer2">
    <method name="Raise"/>
    <method name="Quit"/>
    <property name="CanQuit" type="b" access="read"/>
    <property name="CanRaise" type="b" access="read"/>
    <property name="HasTrackList" type="b" access="read"/>
    <property name="Identity" type="s" access="read"/>
    <property name="DesktopEntry" type="s" access="read"/>
    <property name="SupportedUriSchemes" type="as" access="read"/>
    <property name="SupportedMimeTypes" type="as" access="read"/>
  </interface>
  <interface name="org.mpris.MediaPlayer2.Player">
    <method name="Next"/>
    <method name="Previous"/>
    <method name="Pause"/>
    <method name="PlayPause"/>
    <method name="Stop"/>
    <method name="Play"/>
    <method name="Seek">
      <arg name="Offset" type="x" direction="in"/>
    </method>
    <method name="SetPosition">
      <arg name="TrackId" type="o" direction="in"/>
      <arg name="Position" type="x" direction="in"/>
    </method>
    <method name="OpenUri">
      <arg name="Uri" type="s" direction="in"/>
    </method>
    <signal name="Seeked">
      <arg name="Position" type="x"/>
    </signal>
    <property name="PlaybackStatus" type="s" access="read"/>
    <property name="Rate" type="d" access="readwrite"/>
    <property name="Metadata" type="a{sv}" access="read"/>
    <property name="Volume" type="d" access="readwrite"/>
    <property name="Position" type="x" access="read"/>
    <property name="MinimumRate" type="d" access="read"/>
    <property name="MaximumRate" type="d" access="read"/>
    <property name="CanGoNext" type="b" access="read"/>
    <property name="CanGoPrevious" type="b" access="read"/>
    <property name="CanPlay" type="b" access="read"/>
    <property name="CanPause" type="b" access="read"/>
    <property name="CanSeek" type="b" access="read"/>
    <property name="CanControl" type="b" access="read"/>
  </interface>
</node>)";

// The session bus's address, or "" when there is none. Unlike GLib's own
// lookup this never starts a bus of its own (through dbus-launch): a player
// has no business creating a session bus nobody else would use.
std::string SessionBusAddress()
{
    const char* pszAddress = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (pszAddress && *pszAddress)
        return pszAddress;
    const char* pszRuntime = std::getenv("XDG_RUNTIME_DIR");
    if (!pszRuntime || !*pszRuntime)
        return std::string();
    const std::string strSocket = std::string(pszRuntime) + "/bus";
    struct stat info = {};
    if (::stat(strSocket.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode))
        return std::string();
    gchar* pszEscaped = g_dbus_address_escape_value(strSocket.c_str());
    const std::string strAddress = std::string("unix:path=") + pszEscaped;
    g_free(pszEscaped);
    return strAddress;
}

GVariant* Text(const std::string& strText)
{
    if (g_utf8_validate(strText.data(), static_cast<gssize>(strText.size()), nullptr))
        return g_variant_new_string(strText.c_str());
    gchar* pszValid = g_utf8_make_valid(strText.data(), static_cast<gssize>(strText.size()));
    GVariant* pValue = g_variant_new_string(pszValid);
    g_free(pszValid);
    return pValue;
}

GVariant* MetadataValue(const MprisMetadata& metadata)
{
    GVariantBuilder builder;
    g_variant_builder_init(&builder, G_VARIANT_TYPE_VARDICT);
    const bool bValidPath = g_variant_is_object_path(metadata.trackId.c_str());
    g_variant_builder_add(
        &builder, "{sv}", "mpris:trackid",
        g_variant_new_object_path(bValidPath ? metadata.trackId.c_str() : kMprisNoTrack));
    if (!metadata.title.empty())
        g_variant_builder_add(&builder, "{sv}", "xesam:title", Text(metadata.title));
    if (!metadata.artist.empty())
    {
        // Artists are a list of names.
        GVariant* pName = Text(metadata.artist);
        g_variant_builder_add(&builder, "{sv}", "xesam:artist",
                              g_variant_new_array(G_VARIANT_TYPE_STRING, &pName, 1));
    }
    if (!metadata.url.empty())
        g_variant_builder_add(&builder, "{sv}", "xesam:url", Text(metadata.url));
    return g_variant_builder_end(&builder);
}

GVariant* EmptyTextList()
{
    return g_variant_new_strv(nullptr, 0);
}

double ClampVolume(double dVolume)
{
    return std::clamp(dVolume, 0.0, 1.0);
}

} // namespace

const char* MprisPlaybackStatusText(EMprisPlaybackStatus eStatus)
{
    switch (eStatus)
    {
    case EMprisPlaybackStatus::Playing:
        return "Playing";
    case EMprisPlaybackStatus::Paused:
        return "Paused";
    case EMprisPlaybackStatus::Stopped:
        break;
    }
    return "Stopped";
}

// Everything that touches GDBus. Its callbacks run on the default main
// context, which the GUI thread runs.
struct CMprisService::CBusSide
{
    CBusSide(IMprisHandler& handler, std::string strBusName, std::string strIdentity,
             std::string strDesktopEntry)
        : m_handler(handler), m_strBusName(std::move(strBusName)),
          m_strIdentity(std::move(strIdentity)), m_strDesktopEntry(std::move(strDesktopEntry))
    {
        m_metadata.trackId = kMprisNoTrack;
    }

    void Start();
    void Stop();
    void GiveUp(const std::string& strWhy);
    void OnConnected(GDBusConnection* pConnection);
    void EmitChanged(const char* pszInterface, GVariantBuilder& changed);
    // Announces one changed property of the player interface.
    void EmitPlayerChanged(const char* pszName, GVariant* pValue);

    static void OnConnectionReady(GObject* pSource, GAsyncResult* pResult, gpointer pData);
    static void OnNameAcquired(GDBusConnection* pConnection, const gchar* pszName, gpointer pData);
    static void OnNameLost(GDBusConnection* pConnection, const gchar* pszName, gpointer pData);
    static void OnMethodCall(GDBusConnection* pConnection, const gchar* pszSender,
                             const gchar* pszObjectPath, const gchar* pszInterface,
                             const gchar* pszMethod, GVariant* pParameters,
                             GDBusMethodInvocation* pInvocation, gpointer pData);
    static GVariant* OnGetProperty(GDBusConnection* pConnection, const gchar* pszSender,
                                   const gchar* pszObjectPath, const gchar* pszInterface,
                                   const gchar* pszProperty, GError** ppError, gpointer pData);
    static gboolean OnSetProperty(GDBusConnection* pConnection, const gchar* pszSender,
                                  const gchar* pszObjectPath, const gchar* pszInterface,
                                  const gchar* pszProperty, GVariant* pValue, GError** ppError,
                                  gpointer pData);

    void CallMethod(const std::string& strInterface, const std::string& strMethod,
                    GDBusMethodInvocation* pInvocation);
    GVariant* RootProperty(const std::string& strName) const;
    GVariant* PlayerProperty(const std::string& strName) const;

    IMprisHandler& m_handler;
    const std::string m_strBusName;
    const std::string m_strIdentity;
    const std::string m_strDesktopEntry;
    EBusState m_eState = EBusState::Connecting;

    EMprisPlaybackStatus m_eStatus = EMprisPlaybackStatus::Stopped;
    MprisMetadata m_metadata;
    double m_dVolume = 1.0;
    MprisCapabilities m_capabilities;

    // Carries this object's address to the connection callback; the address
    // is taken off it when the service ends first.
    GCancellable* m_pConnecting = nullptr;
    GDBusConnection* m_pConnection = nullptr;
    GDBusNodeInfo* m_pNodeInfo = nullptr;
    guint m_nRootRegistration = 0;
    guint m_nPlayerRegistration = 0;
    guint m_nOwnerId = 0;
};

void CMprisService::CBusSide::Start()
{
    const std::string strAddress = SessionBusAddress();
    if (strAddress.empty())
    {
        GiveUp("there is no session bus");
        return;
    }
    m_pConnecting = g_cancellable_new();
    g_object_set_data(G_OBJECT(m_pConnecting), kCancellableOwner, this);
    g_dbus_connection_new_for_address(
        strAddress.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, m_pConnecting, &CBusSide::OnConnectionReady, g_object_ref(m_pConnecting));
}

void CMprisService::CBusSide::GiveUp(const std::string& strWhy)
{
    if (m_eState == EBusState::Unavailable)
        return;
    m_eState = EBusState::Unavailable;
    std::fprintf(stderr, "wavecrest: no media controls on the session bus: %s\n", strWhy.c_str());
}

void CMprisService::CBusSide::OnConnectionReady(GObject* /*pSource*/, GAsyncResult* pResult,
                                                gpointer pData)
{
    auto* pCancellable = static_cast<GCancellable*>(pData);
    auto* pSide =
        static_cast<CBusSide*>(g_object_get_data(G_OBJECT(pCancellable), kCancellableOwner));
    GError* pError = nullptr;
    GDBusConnection* pConnection = g_dbus_connection_new_for_address_finish(pResult, &pError);
    if (pSide)
    {
        g_object_unref(pSide->m_pConnecting);
        pSide->m_pConnecting = nullptr;
        if (pConnection)
            pSide->OnConnected(pConnection);
        else
            pSide->GiveUp(pError ? pError->message : "the session bus cannot be reached");
    }
    else if (pConnection)
        g_object_unref(pConnection); // the service is gone already
    if (pError)
        g_error_free(pError);
    g_object_unref(pCancellable);
}

void CMprisService::CBusSide::OnConnected(GDBusConnection* pConnection)
{
    m_pConnection = pConnection;
    // The program goes on when the bus goes away; it only loses its media controls.
    g_dbus_connection_set_exit_on_close(m_pConnection, FALSE);
    m_pNodeInfo = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
    static const GDBusInterfaceVTable vtable = {
        &CBusSide::OnMethodCall, &CBusSide::OnGetProperty, &CBusSide::OnSetProperty, {}};
    // The object is there before the name is: whoever sees the name finds it.
    m_nRootRegistration = g_dbus_connection_register_object(
        m_pConnection, kObjectPath, g_dbus_node_info_lookup_interface(m_pNodeInfo, kRootInterface),
        &vtable, this, nullptr, nullptr);
    m_nPlayerRegistration = g_dbus_connection_register_object(
        m_pConnection, kObjectPath,
        g_dbus_node_info_lookup_interface(m_pNodeInfo, kPlayerInterface), &vtable, this, nullptr,
        nullptr);
    if (m_nRootRegistration == 0 || m_nPlayerRegistration == 0)
    {
        GiveUp("the player object cannot be registered");
        return;
    }
    // A name someone else holds stays theirs; this program does not wait in line for it.
    m_nOwnerId = g_bus_own_name_on_connection(
        m_pConnection, m_strBusName.c_str(), G_BUS_NAME_OWNER_FLAGS_DO_NOT_QUEUE,
        &CBusSide::OnNameAcquired, &CBusSide::OnNameLost, this, nullptr);
}

void CMprisService::CBusSide::OnNameAcquired(GDBusConnection* /*pConnection*/,
                                             const gchar* /*pszName*/, gpointer pData)
{
    auto* pSide = static_cast<CBusSide*>(pData);
    if (pSide->m_eState == EBusState::Connecting)
        pSide->m_eState = EBusState::Offered;
}

void CMprisService::CBusSide::OnNameLost(GDBusConnection* pConnection, const gchar* pszName,
                                         gpointer pData)
{
    auto* pSide = static_cast<CBusSide*>(pData);
    if (!pConnection || g_dbus_connection_is_closed(pConnection))
        pSide->GiveUp("the session bus went away");
    else
        pSide->GiveUp(std::string("the name ") + pszName + " is taken");
}

void CMprisService::CBusSide::Stop()
{
    if (m_pConnecting)
    {
        // The callback still comes, but finds nobody to tell.
        g_object_set_data(G_OBJECT(m_pConnecting), kCancellableOwner, nullptr);
        g_cancellable_cancel(m_pConnecting);
        g_object_unref(m_pConnecting);
        m_pConnecting = nullptr;
    }
    if (m_nOwnerId != 0)
        g_bus_unown_name(m_nOwnerId);
    m_nOwnerId = 0;
    if (m_pConnection)
    {
        if (m_nRootRegistration != 0)
            g_dbus_connection_unregister_object(m_pConnection, m_nRootRegistration);
        if (m_nPlayerRegistration != 0)
            g_dbus_connection_unregister_object(m_pConnection, m_nPlayerRegistration);
        m_nRootRegistration = m_nPlayerRegistration = 0;
        // Whatever was announced last still goes out before the connection closes.
        g_dbus_connection_flush_sync(m_pConnection, nullptr, nullptr);
        g_dbus_connection_close_sync(m_pConnection, nullptr, nullptr);
        g_object_unref(m_pConnection);
        m_pConnection = nullptr;
    }
    if (m_pNodeInfo)
        g_dbus_node_info_unref(m_pNodeInfo);
    m_pNodeInfo = nullptr;
}

void CMprisService::CBusSide::OnMethodCall(GDBusConnection* /*pConnection*/,
                                           const gchar* /*pszSender*/,
                                           const gchar* /*pszObjectPath*/,
                                           const gchar* pszInterface, const gchar* pszMethod,
                                           GVariant* /*pParameters*/,
                                           GDBusMethodInvocation* pInvocation, gpointer pData)
{
    static_cast<CBusSide*>(pData)->CallMethod(pszInterface, pszMethod, pInvocation);
}

void CMprisService::CBusSide::CallMethod(const std::string& strInterface,
                                         const std::string& strMethod,
                                         GDBusMethodInvocation* pInvocation)
{
    if (strMethod == "OpenUri")
    {
        g_dbus_method_invocation_return_error(pInvocation, G_DBUS_ERROR, G_DBUS_ERROR_NOT_SUPPORTED,
                                              "Opening addresses is not supported");
        return;
    }
    // The caller has its answer before the program acts: what the program
    // does (ending, say) never keeps the caller waiting.
    g_dbus_method_invocation_return_value(pInvocation, nullptr);
    if (strInterface == kRootInterface)
    {
        if (strMethod == "Raise")
            m_handler.OnRaise();
        else if (strMethod == "Quit")
            m_handler.OnQuit();
        return;
    }
    // Live streams have no position: Seek and SetPosition do nothing.
    if (strMethod == "Play")
        m_handler.OnPlay();
    else if (strMethod == "Pause")
        m_handler.OnPause();
    else if (strMethod == "PlayPause")
        m_handler.OnPlayPause();
    else if (strMethod == "Stop")
        m_handler.OnStop();
    else if (strMethod == "Next")
        m_handler.OnNext();
    else if (strMethod == "Previous")
        m_handler.OnPrevious();
}

GVariant*
CMprisService::CBusSide::OnGetProperty(GDBusConnection* /*pConnection*/, const gchar* /*pszSender*/,
                                       const gchar* /*pszObjectPath*/, const gchar* pszInterface,
                                       const gchar* pszProperty, GError** ppError, gpointer pData)
{
    const auto* pSide = static_cast<const CBusSide*>(pData);
    GVariant* pValue = std::string(pszInterface) == kRootInterface
                           ? pSide->RootProperty(pszProperty)
                           : pSide->PlayerProperty(pszProperty);
    if (!pValue)
        g_set_error(ppError, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "No property %s",
                    pszProperty);
    return pValue;
}

GVariant* CMprisService::CBusSide::RootProperty(const std::string& strName) const
{
    if (strName == "CanQuit" || strName == "CanRaise")
        return g_variant_new_boolean(TRUE);
    if (strName == "HasTrackList")
        return g_variant_new_boolean(FALSE);
    if (strName == "Identity")
        return Text(m_strIdentity);
    if (strName == "DesktopEntry")
        return Text(m_strDesktopEntry);
    if (strName == "SupportedUriSchemes" || strName == "SupportedMimeTypes")
        return EmptyTextList();
    return nullptr;
}

GVariant* CMprisService::CBusSide::PlayerProperty(const std::string& strName) const
{
    if (strName == "PlaybackStatus")
        return g_variant_new_string(MprisPlaybackStatusText(m_eStatus));
    if (strName == "Metadata")
        return MetadataValue(m_metadata);
    if (strName == "Volume")
        return g_variant_new_double(m_dVolume);
    if (strName == "Rate" || strName == "MinimumRate" || strName == "MaximumRate")
        return g_variant_new_double(1.0);
    if (strName == "Position")
        return g_variant_new_int64(0);
    if (strName == "CanGoNext")
        return g_variant_new_boolean(m_capabilities.canGoNext);
    if (strName == "CanGoPrevious")
        return g_variant_new_boolean(m_capabilities.canGoPrevious);
    if (strName == "CanPlay")
        return g_variant_new_boolean(m_capabilities.canPlay);
    if (strName == "CanPause")
        return g_variant_new_boolean(m_capabilities.canPause);
    if (strName == "CanSeek")
        return g_variant_new_boolean(FALSE);
    if (strName == "CanControl")
        return g_variant_new_boolean(TRUE);
    return nullptr;
}

gboolean CMprisService::CBusSide::OnSetProperty(GDBusConnection* /*pConnection*/,
                                                const gchar* /*pszSender*/,
                                                const gchar* /*pszObjectPath*/,
                                                const gchar* /*pszInterface*/,
                                                const gchar* pszProperty, GVariant* pValue,
                                                GError** ppError, gpointer pData)
{
    auto* pSide = static_cast<CBusSide*>(pData);
    const std::string strName = pszProperty;
    // Streams play at their own speed only: a new rate is accepted and ignored.
    if (strName == "Rate")
        return TRUE;
    if (strName != "Volume")
    {
        g_set_error(ppError, G_DBUS_ERROR, G_DBUS_ERROR_PROPERTY_READ_ONLY, "%s is read-only",
                    pszProperty);
        return FALSE;
    }
    const double dVolume = g_variant_get_double(pValue);
    if (std::isnan(dVolume))
    {
        g_set_error(ppError, G_DBUS_ERROR, G_DBUS_ERROR_INVALID_ARGS, "The volume is no number");
        return FALSE;
    }
    pSide->m_handler.OnSetVolume(ClampVolume(dVolume));
    return TRUE;
}

void CMprisService::CBusSide::EmitChanged(const char* pszInterface, GVariantBuilder& changed)
{
    GVariant* pChanged = g_variant_builder_end(&changed);
    if (!m_pConnection || g_variant_n_children(pChanged) == 0)
    {
        g_variant_unref(g_variant_ref_sink(pChanged));
        return;
    }
    g_dbus_connection_emit_signal(
        m_pConnection, nullptr, kObjectPath, "org.freedesktop.DBus.Properties", "PropertiesChanged",
        g_variant_new("(s@a{sv}@as)", pszInterface, pChanged, EmptyTextList()), nullptr);
}

void CMprisService::CBusSide::EmitPlayerChanged(const char* pszName, GVariant* pValue)
{
    GVariantBuilder changed;
    g_variant_builder_init(&changed, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&changed, "{sv}", pszName, pValue);
    EmitChanged(kPlayerInterface, changed);
}

CMprisService::CMprisService(IMprisHandler& handler, const std::string& strPlayerName,
                             const std::string& strIdentity, const std::string& strDesktopEntry)
    : m_pBus(std::make_unique<CBusSide>(handler, "org.mpris.MediaPlayer2." + strPlayerName,
                                        strIdentity, strDesktopEntry))
{
    m_pBus->Start();
}

CMprisService::~CMprisService()
{
    m_pBus->Stop();
}

CMprisService::EBusState CMprisService::GetBusState() const
{
    return m_pBus->m_eState;
}

const std::string& CMprisService::GetBusName() const
{
    return m_pBus->m_strBusName;
}

void CMprisService::SetPlaybackStatus(EMprisPlaybackStatus eStatus)
{
    if (eStatus == m_pBus->m_eStatus)
        return;
    m_pBus->m_eStatus = eStatus;
    m_pBus->EmitPlayerChanged("PlaybackStatus",
                              g_variant_new_string(MprisPlaybackStatusText(eStatus)));
}

void CMprisService::SetMetadata(const MprisMetadata& metadata)
{
    if (metadata == m_pBus->m_metadata)
        return;
    m_pBus->m_metadata = metadata;
    m_pBus->EmitPlayerChanged("Metadata", MetadataValue(metadata));
}

void CMprisService::SetVolume(double dVolume)
{
    if (std::isnan(dVolume))
        return;
    dVolume = ClampVolume(dVolume);
    if (dVolume == m_pBus->m_dVolume)
        return;
    m_pBus->m_dVolume = dVolume;
    m_pBus->EmitPlayerChanged("Volume", g_variant_new_double(dVolume));
}

void CMprisService::SetCapabilities(const MprisCapabilities& capabilities)
{
    const MprisCapabilities old = m_pBus->m_capabilities;
    if (capabilities == old)
        return;
    m_pBus->m_capabilities = capabilities;
    GVariantBuilder changed;
    g_variant_builder_init(&changed, G_VARIANT_TYPE_VARDICT);
    const struct
    {
        const char* pszName;
        bool bOld;
        bool bNew;
    } values[] = {
        {"CanGoNext", old.canGoNext, capabilities.canGoNext},
        {"CanGoPrevious", old.canGoPrevious, capabilities.canGoPrevious},
        {"CanPlay", old.canPlay, capabilities.canPlay},
        {"CanPause", old.canPause, capabilities.canPause},
    };
    for (const auto& value : values)
        if (value.bOld != value.bNew)
            g_variant_builder_add(&changed, "{sv}", value.pszName,
                                  g_variant_new_boolean(value.bNew));
    m_pBus->EmitChanged(kPlayerInterface, changed);
}

EMprisPlaybackStatus CMprisService::GetPlaybackStatus() const
{
    return m_pBus->m_eStatus;
}

const MprisMetadata& CMprisService::GetMetadata() const
{
    return m_pBus->m_metadata;
}

double CMprisService::GetVolume() const
{
    return m_pBus->m_dVolume;
}

const MprisCapabilities& CMprisService::GetCapabilities() const
{
    return m_pBus->m_capabilities;
}

} // namespace platform
