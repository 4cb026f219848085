#include "player/WMPControls.h"

#include "player/WMPPlayer4.h"

void CWMPControls::stop()
{
    if (m_pPlayer)
        m_pPlayer->Stop();
}

void CWMPControls::play()
{
    if (m_pPlayer)
        m_pPlayer->Play();
}

void CWMPControls::pause()
{
    if (m_pPlayer)
        m_pPlayer->Pause();
}
