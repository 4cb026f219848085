#include "frame/StatusPanes.h"

#include "frame/StatusTexts.h"

namespace
{
// The bar's fields, left to right: the status pane, the gap, the contact pane.
constexpr int kStatusField = 0;
constexpr int kContactField = 2;
constexpr int kFieldCount = 3;

int Field(CStatusPanes::Pane pane)
{
    return pane == CStatusPanes::Pane::Status ? kStatusField : kContactField;
}

int Index(CStatusPanes::Pane pane)
{
    return pane == CStatusPanes::Pane::Status ? 0 : 1;
}
} // namespace

CStatusPanes::CStatusPanes(wxWindow* parent)
    : wxStatusBar(parent, wxID_ANY, wxSTB_DEFAULT_STYLE), m_referenceWidths{
                                                              GetTextExtent(wxString('X', 81)).x,
                                                              GetTextExtent(wxString('X', 28)).x}
{
    SetFieldsCount(kFieldCount);
    const int styles[kFieldCount] = {wxSB_NORMAL, wxSB_FLAT, wxSB_NORMAL};
    SetStatusStyles(kFieldCount, styles);
    FitPanes();
    SetStatusText("Current Status", kStatusField);
    Bind(wxEVT_SIZE, &CStatusPanes::OnSize, this);
    Bind(wxEVT_MOTION, &CStatusPanes::OnMotion, this);
}

void CStatusPanes::FitPanes()
{
    // The status pane takes what the contact pane leaves, but no more than
    // its reference width; beyond that the gap grows.
    const int contactWidth = m_referenceWidths[Index(Pane::Contact)];
    const int statusWidth = m_referenceWidths[Index(Pane::Status)];
    const int shared[kFieldCount] = {-1, 0, contactWidth};
    SetStatusWidths(kFieldCount, shared);
    wxRect status;
    if (GetFieldRect(kStatusField, status) && status.width > statusWidth)
    {
        const int capped[kFieldCount] = {statusWidth, -1, contactWidth};
        SetStatusWidths(kFieldCount, capped);
    }
}

void CStatusPanes::OnSize(wxSizeEvent& event)
{
    FitPanes();
    event.Skip();
}

void CStatusPanes::ShowTextsFor(int category, const wxString& currentStatus)
{
    const auto texts = StatusPaneTextsFor(category, currentStatus);
    if (!texts)
        return;
    m_descriptions[Index(Pane::Status)] = texts->statusDescription;
    SetStatusText(texts->statusText, kStatusField);
    m_descriptions[Index(Pane::Contact)] = texts->contactDescription;
    SetStatusText(texts->contactText, kContactField);
}

wxString CStatusPanes::GetPaneText(Pane pane) const
{
    return GetStatusText(Field(pane));
}

const wxString& CStatusPanes::GetPaneDescription(Pane pane) const
{
    return m_descriptions[Index(pane)];
}

wxRect CStatusPanes::GetPaneRect(Pane pane) const
{
    wxRect rect;
    GetFieldRect(Field(pane), rect);
    return rect;
}

int CStatusPanes::GetPaneReferenceWidth(Pane pane) const
{
    return m_referenceWidths[Index(pane)];
}

void CStatusPanes::OnMotion(wxMouseEvent& event)
{
    // A pane's description shows as the tooltip of the pane under the mouse;
    // the gap has none.
    wxString tip;
    for (Pane pane : {Pane::Status, Pane::Contact})
        if (GetPaneRect(pane).Contains(event.GetPosition()))
            tip = GetPaneDescription(pane);
    if (GetToolTipText() != tip)
        SetToolTip(tip);
    event.Skip();
}
