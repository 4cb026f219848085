#pragma once
// The hot-key settings page's document.

#include "frame/PageDocument.h"

class CRadioSettingsDoc : public CPageDocument
{
    wxDECLARE_DYNAMIC_CLASS(CRadioSettingsDoc);
};
