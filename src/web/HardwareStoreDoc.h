#pragma once
// The hardware-store page's document.

#include "frame/PageDocument.h"

class CHardwareStoreDoc : public CPageDocument
{
    wxDECLARE_DYNAMIC_CLASS(CHardwareStoreDoc);
};
