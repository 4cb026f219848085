#pragma once
// The station-directory page's document.

#include "frame/PageDocument.h"

class CStationDirectoryDoc : public CPageDocument
{
    wxDECLARE_DYNAMIC_CLASS(CStationDirectoryDoc);
};
