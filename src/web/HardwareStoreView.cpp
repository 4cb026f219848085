#include "web/HardwareStoreView.h"

#include "frame/ChildFrame.h"

wxIMPLEMENT_DYNAMIC_CLASS(CHardwareStoreView, CPageView);

void CHardwareStoreView::CreateContent(CChildFrame* /*frame*/) {}
