#include "radio/RadioSettingsView.h"

#include "frame/ChildFrame.h"

wxIMPLEMENT_DYNAMIC_CLASS(CRadioSettingsView, CPageView);

void CRadioSettingsView::CreateContent(CChildFrame* /*frame*/) {}
