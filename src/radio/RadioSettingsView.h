#pragma once
// The hot-key settings page.

#include "frame/PageView.h"

class CRadioSettingsView : public CPageView
{
protected:
    void CreateContent(CChildFrame* frame) override;
    void OnInitialUpdate() override;
    bool IsFormPage() const override { return true; }

    wxDECLARE_DYNAMIC_CLASS(CRadioSettingsView);
};
