#pragma once
// The radio page: the channel list and the player.

#include "frame/PageView.h"

class CWavecrestView : public CPageView
{
protected:
    void CreateContent(CChildFrame* frame) override;
    void OnInitialUpdate() override;
    bool IsFormPage() const override { return true; }

    wxDECLARE_DYNAMIC_CLASS(CWavecrestView);
};
