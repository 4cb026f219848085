#include "radio/WavecrestView.h"

#include "frame/ChildFrame.h"

wxIMPLEMENT_DYNAMIC_CLASS(CWavecrestView, CPageView);

void CWavecrestView::CreateContent(CChildFrame* /*frame*/) {}
