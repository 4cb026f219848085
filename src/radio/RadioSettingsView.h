#pragma once
// The hot-key settings page.

#include "frame/PageView.h"

class CRadioSettingsView : public CPageView
{
protected:
    void CreateContent(CChildFrame* frame) override;

    wxDECLARE_DYNAMIC_CLASS(CRadioSettingsView);
};
