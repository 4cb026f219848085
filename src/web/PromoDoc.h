#pragma once
// The promotion page's document.

#include "frame/PageDocument.h"

class CPromoDoc : public CPageDocument
{
    wxDECLARE_DYNAMIC_CLASS(CPromoDoc);
};
