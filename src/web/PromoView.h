#pragma once
// The promotion page: the maker's web site (www.tolvane.example).

#include "web/WebPageView.h"

class CPromoView : public CWebPageView
{
protected:
    int GetReloadMessage() const override;
    const char* GetFitFlag() const override { return "CPromoView"; }
    wxString GetSiteAddress() const override;

    wxDECLARE_DYNAMIC_CLASS(CPromoView);
    wxDECLARE_EVENT_TABLE();
};
