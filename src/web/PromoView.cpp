#include "web/PromoView.h"

#include "frame/ChildFrame.h"

wxIMPLEMENT_DYNAMIC_CLASS(CPromoView, CPageView);

void CPromoView::CreateContent(CChildFrame* /*frame*/) {}
