#pragma once
// The player's transport, as the page reaches it: GetControls() of the player
// control hands out one of these. It refers to the control and does not own
// it; it is meant to be used at once and dropped.

class CWMPPlayer4;

class CWMPControls
{
public:
    explicit CWMPControls(CWMPPlayer4* pPlayer) : m_pPlayer(pPlayer) {}

    // Ends playback; the address stays, so play() starts it again.
    void stop();
    // Goes on after a pause, or starts the last address again after a stop.
    void play();
    void pause();

private:
    CWMPPlayer4* m_pPlayer;
};
