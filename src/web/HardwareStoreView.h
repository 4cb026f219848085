#pragma once
// The hardware-store page: the maker's web store.

#include "frame/PageView.h"

class CHardwareStoreView : public CPageView
{
protected:
    void CreateContent(CChildFrame* frame) override;

    wxDECLARE_DYNAMIC_CLASS(CHardwareStoreView);
};
