#pragma once
// The hardware-store page: the maker's web store (store.tolvane.example).

#include "web/WebPageView.h"

class CHardwareStoreView : public CWebPageView
{
protected:
    int GetReloadMessage() const override;
    const char* GetFitFlag() const override { return "CHardwareStoreView"; }
    wxString GetSiteAddress() const override;

    wxDECLARE_DYNAMIC_CLASS(CHardwareStoreView);
    wxDECLARE_EVENT_TABLE();
};
