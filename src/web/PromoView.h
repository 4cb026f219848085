#pragma once
// The promotion page: the maker's web site.

#include "frame/PageView.h"

class CPromoView : public CPageView
{
protected:
    void CreateContent(CChildFrame* frame) override;

    wxDECLARE_DYNAMIC_CLASS(CPromoView);
};
